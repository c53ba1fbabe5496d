# Run by CPack once the packages are made. libcadmora1 has ldconfig run by
# its trigger, as Debian's library packages do; CMake's packager also writes
# a postinst and a postrm calling ldconfig for any library in the linker's
# folders, with no switch to leave them out. They are taken out here, so
# that lintian finds no maintainer script calling ldconfig and `dpkg -r`
# leaves nothing of the package behind (a package with a postrm stays known
# to dpkg until purged).
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "/libcadmora[0-9]+_[^/]*\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  execute_process(COMMAND dpkg-deb --root-owner-group --build ${tree} ${deb} OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
