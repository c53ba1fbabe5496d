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
# cases at build time would start Wine once per program and build. Further
# arguments are globs of files the program reads test cases from: a change
# to one relinks the program, so its cases are listed anew.
function(cadmora_add_gtest target)
  if(ARGN)
    file(GLOB data CONFIGURE_DEPENDS ${ARGN})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${data})
  endif()
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
