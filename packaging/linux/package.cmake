# The Linux layout, the same for `cmake --install --prefix P` and for the
# Debian package (prefix /usr):
#   bin/cdmcli (and the other programs)   RUNPATH $ORIGIN/../lib/<multiarch>/cadmora
#   lib/<multiarch>/cadmora/libmorvapi.so the board emulator, private to them
#   share/man/man1/cdmcli.1.gz, cdmsim.1.gz
#   share/doc/cadmora/                    help page, README, examples, copyright, changelog
# The library stays out of the linker's search folders, so a board maker's
# libmorvapi.so installed system-wide is not shadowed, and LD_LIBRARY_PATH
# (searched before a RUNPATH) can put a user's own library in its place.

set(doc_dir share/doc/cadmora)
install(TARGETS ${CADMORA_PROGRAMS} RUNTIME DESTINATION bin)
install(TARGETS morvapi LIBRARY DESTINATION ${CADMORA_PRIVATE_LIBDIR}
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(FILES ${CADMORA_HELP_PAGE} ${CADMORA_HELP_IMAGE} ${PROJECT_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/copyright
  DESTINATION ${doc_dir})
install(FILES ${CADMORA_EXAMPLES} DESTINATION ${doc_dir}/examples)

# Man pages and the changelog are installed compressed, as Debian keeps them.
function(cadmora_gzip source destination)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${compressed}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND CADMORA_COMPRESSED_FILES ${compressed})
  set(CADMORA_COMPRESSED_FILES ${CADMORA_COMPRESSED_FILES} PARENT_SCOPE)
  install(FILES ${compressed} DESTINATION ${destination})
endfunction()

foreach(program IN LISTS CADMORA_PROGRAMS)
  set(man_page ${CMAKE_CURRENT_LIST_DIR}/${program}.1)
  if(EXISTS ${man_page})
    cadmora_gzip(${man_page} share/man/man1)
  endif()
endforeach()

# The changelog's newest entry names the version being packaged.
set(changelog ${CMAKE_CURRENT_LIST_DIR}/changelog)
file(STRINGS ${changelog} newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^cadmora \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/linux/changelog: the newest entry is not version ${PROJECT_VERSION}")
endif()
cadmora_gzip(${changelog} ${doc_dir})
add_custom_target(cadmora_compressed_docs ALL DEPENDS ${CADMORA_COMPRESSED_FILES})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cadmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Cadmora toolchain developers <cadmora@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "loader and simulator for Cadmora timing boards, with a board emulator")
# CPack puts the summary first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "cdmcli checks timing programs written for the Cadmora timing board (.cdm
files), converts every line into one board instruction, writes the
instructions into the board and starts or stops it.

cdmsim runs a timing program without a board: it compiles it with the same
interpreter and executes it cycle by cycle, printing a timeline and the
timing checks, and writes a value change dump for waveform viewers and a
timing diagram.

The package includes a board emulator with the board library's name and
operations, so that everything runs without a board.")
include(CPack)
