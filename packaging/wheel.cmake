# The wheel (target `wheel`): the Python package with the library and the
# board emulator inside its folder, so that it runs without a board and
# without an installed libcadmora. Built with Debian's python3 and its
# python3-build and setuptools, without network, into the build folder:
# cadmora-<version>-py3-none-<platform>.whl. The package is pure Python for
# any Python 3, but the libraries are not, hence the platform tag.
set(python /usr/bin/python3)
if(WIN32)
  set(platform win_amd64)
  set(library_name cadmora.dll)
else()
  execute_process(COMMAND ${python} -c "import sysconfig; print(sysconfig.get_platform())"
    OUTPUT_VARIABLE platform OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed)
    message(STATUS "${python} not found: no target `wheel`")
    return()
  endif()
  string(REGEX REPLACE "[-.]" "_" platform "${platform}")
  set(library_name libcadmora.so.${PROJECT_VERSION_MAJOR})
endif()

set(source ${PROJECT_SOURCE_DIR}/python)
set(stage ${CMAKE_CURRENT_BINARY_DIR}/wheel)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/wheel.cfg "[bdist_wheel]\npython_tag = py3\nplat_name = ${platform}\n")
set(strip "")
if(CMAKE_STRIP)
  set(strip COMMAND ${CMAKE_STRIP} --strip-unneeded ${stage}/cadmora/${library_name} ${stage}/cadmora/$<TARGET_FILE_NAME:morvapi>)
endif()
set(runpath "")
if(NOT WIN32)
  set(runpath COMMAND ${CMAKE_COMMAND} -DLIBRARY=${stage}/cadmora/${library_name}
    -DBOARD_LIBRARY=${stage}/cadmora/$<TARGET_FILE_NAME:morvapi> -P ${CMAKE_CURRENT_LIST_DIR}/wheel_runpath.cmake)
endif()
add_custom_target(wheel
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/cadmora
  COMMAND ${CMAKE_COMMAND} -E copy ${source}/pyproject.toml ${source}/README.md ${stage}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_BINARY_DIR}/wheel.cfg ${stage}/setup.cfg
  COMMAND ${CMAKE_COMMAND} -E copy ${CADMORA_PYTHON_MODULES} ${stage}/cadmora
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:cadmora> ${stage}/cadmora/${library_name}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:morvapi> ${stage}/cadmora
  ${strip}
  ${runpath}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${CMAKE_BINARY_DIR}/cadmora-${PROJECT_VERSION}-py3-none-${platform}.whl
  COMMAND ${python} -m build --wheel --no-isolation --outdir ${CMAKE_BINARY_DIR} ${stage}
  DEPENDS cadmora morvapi ${CADMORA_PYTHON_MODULES} ${source}/pyproject.toml ${source}/README.md
  COMMENT "Making the wheel cadmora-${PROJECT_VERSION}-py3-none-${platform}.whl"
  VERBATIM)
