# GoogleTest: the Debian package natively; for the Windows cross build, the
# sources Debian ships in /usr/src/googletest, built with the cross compiler.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# Registers a GoogleTest program with CTest. Natively each test case becomes a
# CTest entry; under Wine a whole program is one entry, because listing the
# cases at build time would start Wine once per program and build. DATA
# names (globs of) files the program reads its test cases from: a change to
# one relinks the program, so the cases are listed anew.
function(cadmora_add_gtest target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "DATA")
  if(ARG_DATA)
    file(GLOB data CONFIGURE_DEPENDS ${ARG_DATA})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${data})
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
