# The Linux layout, the same for `cmake --install --prefix P` and for the
# Debian packages (prefix /usr), one package per component:
#   cadmora            bin/cdmcli (and the other programs)
#                        RUNPATH $ORIGIN/../lib/<multiarch>/cadmora
#                      share/man/man1/cdmcli.1.gz, cdmsim.1.gz
#                      share/doc/cadmora/: help page, README, examples
#   cadmora-emulator   lib/<multiarch>/cadmora/libmorvapi.so, the board
#                        emulator, private to the programs and the library
#   libcadmora1        lib/<multiarch>/libcadmora.so.1 (and .so.1.0.0)
#                        RUNPATH $ORIGIN/cadmora
#   libcadmora-dev     include/cadmora.h, lib/<multiarch>/libcadmora.so,
#                      lib/<multiarch>/pkgconfig/cadmora.pc
#   python3-cadmora    lib/python3/dist-packages/cadmora/
# and each package's copyright and changelog in share/doc/<package>/.
# The board library stays out of the linker's search folders, so a board
# maker's libmorvapi.so installed system-wide is not shadowed, and
# LD_LIBRARY_PATH (searched before a RUNPATH) can put a user's own library in
# its place. It is a package of its own because both the programs and the
# library need it, and its file name does not change with the library's
# SONAME: in libcadmora1 it would clash with a later libcadmora2.

get_filename_component(libdir ${CADMORA_PRIVATE_LIBDIR} DIRECTORY)
set(doc_dir share/doc/cadmora)
install(TARGETS ${CADMORA_PROGRAMS} RUNTIME DESTINATION bin COMPONENT programs)
# The emulator needs only the system's libraries: no run path.
set_target_properties(morvapi PROPERTIES INSTALL_RPATH "")
install(TARGETS morvapi LIBRARY DESTINATION ${CADMORA_PRIVATE_LIBDIR} COMPONENT emulator
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${CADMORA_HELP_PAGE} ${CADMORA_HELP_IMAGE} ${PROJECT_SOURCE_DIR}/README.md
  DESTINATION ${doc_dir} COMPONENT programs)
install(FILES ${CADMORA_EXAMPLES} DESTINATION ${doc_dir}/examples COMPONENT programs)

install(TARGETS cadmora
  LIBRARY DESTINATION ${libdir} COMPONENT library NAMELINK_COMPONENT dev
  PUBLIC_HEADER DESTINATION include COMPONENT dev)
# The pkg-config file names the prefix it is installed under, which is known
# only then: /usr for the packages, P for `cmake --install --prefix P`.
install(CODE "
  set(PROJECT_VERSION ${PROJECT_VERSION})
  set(CMAKE_INSTALL_LIBDIR ${libdir})
  set(CMAKE_INSTALL_INCLUDEDIR include)
  configure_file(${PROJECT_SOURCE_DIR}/libcadmora/cadmora.pc.in ${CMAKE_CURRENT_BINARY_DIR}/installed/cadmora.pc @ONLY)
  file(INSTALL ${CMAKE_CURRENT_BINARY_DIR}/installed/cadmora.pc DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${libdir}/pkgconfig\"
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
" COMPONENT dev)

# The Python package is the source's own files; it finds the system's
# libcadmora.so.1.
install(FILES ${CADMORA_PYTHON_MODULES} DESTINATION lib/python3/dist-packages/cadmora COMPONENT python)

# Man pages and changelogs are installed compressed, as Debian keeps them.
function(cadmora_gzip source compressed_variable)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${compressed}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND CADMORA_COMPRESSED_FILES ${compressed})
  set(CADMORA_COMPRESSED_FILES ${CADMORA_COMPRESSED_FILES} PARENT_SCOPE)
  set(${compressed_variable} ${compressed} PARENT_SCOPE)
endfunction()

foreach(program IN LISTS CADMORA_PROGRAMS)
  set(man_page ${CMAKE_CURRENT_LIST_DIR}/${program}.1)
  if(EXISTS ${man_page})
    cadmora_gzip(${man_page} compressed)
    install(FILES ${compressed} DESTINATION share/man/man1 COMPONENT programs)
  endif()
endforeach()

# The changelog's newest entry names the version being packaged.
set(changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
file(STRINGS ${changelog} newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^cadmora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/linux/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()
cadmora_gzip(${changelog} compressed_changelog)
add_custom_target(cadmora_compressed_docs ALL DEPENDS ${CADMORA_COMPRESSED_FILES})

# component  package           architecture  depends on (components)
set(packages
  programs   cadmora           any           emulator
  emulator   cadmora-emulator  any           ""
  library    libcadmora1       any           emulator
  dev        libcadmora-dev    any           library
  python     python3-cadmora   all           library)
set(CPACK_COMPONENTS_ALL "")
while(packages)
  list(POP_FRONT packages component package architecture depends)
  string(TOUPPER ${component} COMPONENT)
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_NAME ${package})
  set(CPACK_COMPONENT_${COMPONENT}_DEPENDS ${depends})
  if(architecture STREQUAL all)
    set(CPACK_DEBIAN_${COMPONENT}_PACKAGE_ARCHITECTURE all)
  endif()
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${compressed_changelog}
    DESTINATION share/doc/${package} COMPONENT ${component})
endwhile()

# The library's symbols file: every function cadmora.def exports, each
# needing at least the version being packaged, as the shlibs file says too.
# And ldconfig, run by a trigger once for all the libraries dpkg installs.
file(STRINGS ${PROJECT_SOURCE_DIR}/libcadmora/cadmora.def exported REGEX "^ +cadmora_")
set(symbols "libcadmora.so.${PROJECT_VERSION_MAJOR} libcadmora${PROJECT_VERSION_MAJOR} #MINVER#\n* Build-Depends-Package: libcadmora-dev\n")
foreach(name IN LISTS exported)
  string(STRIP ${name} name)
  string(APPEND symbols " ${name}@Base ${PROJECT_VERSION}\n")
endforeach()
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/libcadmora1/symbols "${symbols}")
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/libcadmora1/triggers "activate-noawait ldconfig\n")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/libcadmora/cadmora.def)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_PACKAGE_NAME cadmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Cadmora toolchain developers <cadmora@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE cadmora)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs and the library need libmorvapi.so, which is in no package
# dpkg-shlibdeps knows: it is taken from the build, and cadmora-emulator is
# named as their dependency above.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/bin)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_BINARY_DIR}/libcadmora1/symbols ${CMAKE_CURRENT_BINARY_DIR}/libcadmora1/triggers)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/ldconfig_by_trigger.cmake)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3:any, python3-numpy")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "python3-matplotlib")
# Byte-compiled when installed and those files removed before removal, as
# Debian's Python packages do.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA
  ${CMAKE_CURRENT_LIST_DIR}/python3-cadmora/postinst ${CMAKE_CURRENT_LIST_DIR}/python3-cadmora/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Each description's first line is the package's summary; CPack indents the
# rest itself.
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "loader and simulator for Cadmora timing boards
cdmcli checks timing programs written for the Cadmora timing board (.cdm
files), converts every line into one board instruction, writes the
instructions into the board and starts or stops it.

cdmsim runs a timing program without a board: it compiles it with the same
interpreter and executes it cycle by cycle, printing a timeline and the
timing checks, and writes a value change dump for waveform viewers and a
timing diagram.

The board emulator (package cadmora-emulator) comes with it, so that
everything runs without a board.")
set(CPACK_DEBIAN_EMULATOR_DESCRIPTION "board emulator for the Cadmora toolchain
A library with the Cadmora board library's name and operations that keeps
an emulated board's memory, journal and trace in files, so that cdmcli,
libcadmora and the scripts built on them run without a board.

It is private to the toolchain. A board maker's libmorvapi.so takes its
place through LD_LIBRARY_PATH, or by diverting this file.")
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "Cadmora timing-board toolchain - shared library
libcadmora compiles, checks and simulates Cadmora timing programs and loads,
starts and stops the board, through one C interface that C programs and
other languages call.

This package contains the shared library.")
set(CPACK_DEBIAN_DEV_DESCRIPTION "Cadmora timing-board toolchain - development files
libcadmora compiles, checks and simulates Cadmora timing programs and loads,
starts and stops the board, through one C interface that C programs and
other languages call.

This package contains the header cadmora.h, the link to the library and its
pkg-config file (pkg-config --cflags --libs cadmora).")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Cadmora timing-board toolchain - Python 3 package
The cadmora module compiles, checks and simulates Cadmora timing programs,
hands a run's steps over as numpy arrays, writes value change dumps and
timing diagrams, and loads, starts and stops the board.

It calls libcadmora through ctypes; plotting needs matplotlib.")
include(CPack)
