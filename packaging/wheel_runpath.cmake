# cmake -DLIBRARY=<file> -DBOARD_LIBRARY=<file> -P wheel_runpath.cmake: the
# library looks for the board library beside itself and nowhere else, and the
# board library, which needs only the system's, has no run path. The build
# tree's run paths are padded with empty entries (room for the installed
# ones), and the loader takes an empty entry for the current folder.
file(RPATH_SET FILE ${LIBRARY} NEW_RPATH "$ORIGIN")
file(RPATH_REMOVE FILE ${BOARD_LIBRARY})
