# cmake -DSOURCE=... -DTARGET=... -P CopyIfAbsent.cmake
# Copies SOURCE to TARGET only when nothing is at TARGET yet.
if(NOT EXISTS "${TARGET}" AND NOT IS_SYMLINK "${TARGET}")
  configure_file("${SOURCE}" "${TARGET}" COPYONLY)
endif()
