# Installation, included from src/CMakeLists.txt once the program target
# exists. Lays out under the prefix:
#   lib/velmora/                the program folder: velmora, the help file and
#                               presets.txt (never replacing one already there)
#   bin/velmora                 a relative link to the program
#   share/applications/         the desktop entry
#   share/icons/hicolor/        the icon, scalable and 48x48
#   share/metainfo/             the AppStream metainfo
#   share/man/man1/velmora.1.gz the manual page
#   share/doc/velmora/          copyright (the licence) and changelog.gz
# Everything but presets.txt is a plain file of the build tree installed with
# install(FILES), so install_manifest.txt lists it and DESTDIR applies once.
include(GNUInstallDirs)

set(VELMORA_APP_ID "org.velmora.Velmora")
set(VELMORA_PROGRAM_DIR "lib/velmora")
set(VELMORA_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/velmora")
# The desktop entry starts the command in bin/, found on PATH.
set(VELMORA_COMMAND "velmora")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(_files "${PROJECT_BINARY_DIR}/install-files")
set(_res "${PROJECT_SOURCE_DIR}/resources")
file(MAKE_DIRECTORY "${_files}/bin")

# The program folder.
install(TARGETS velmora RUNTIME DESTINATION "${VELMORA_PROGRAM_DIR}")
install(FILES "${_res}/Velmora 1_0.HLP" DESTINATION "${VELMORA_PROGRAM_DIR}")
# presets.txt holds the user's saved presets once Set has written it: lay
# down the fresh one only where there is none. file(INSTALL) adds DESTDIR to
# an absolute destination itself and records the file in the manifest; a
# kept file is not listed, since this install did not write it.
install(CODE "
  set(_presets \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${VELMORA_PROGRAM_DIR}/presets.txt\")
  if(EXISTS \"\${_presets}\" OR IS_SYMLINK \"\${_presets}\")
    message(STATUS \"Kept: \${_presets}\")
  else()
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${VELMORA_PROGRAM_DIR}\" TYPE FILE
         FILES \"${_res}/presets.txt\")
  endif()
")

# bin/velmora: made here as a link in the build tree; install(FILES) copies
# the link itself.
file(CREATE_LINK "../${VELMORA_PROGRAM_DIR}/velmora" "${_files}/bin/velmora" SYMBOLIC)
install(FILES "${_files}/bin/velmora" DESTINATION "${CMAKE_INSTALL_BINDIR}")

# Desktop entry, icons, AppStream metainfo.
configure_file("${_res}/desktop/${VELMORA_APP_ID}.desktop.in"
               "${_files}/${VELMORA_APP_ID}.desktop" @ONLY)
configure_file("${_res}/desktop/${VELMORA_APP_ID}.metainfo.xml.in"
               "${_files}/${VELMORA_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${_files}/${VELMORA_APP_ID}.desktop"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
install(FILES "${_files}/${VELMORA_APP_ID}.metainfo.xml"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
install(FILES "${_res}/desktop/velmora.svg"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
install(FILES "${_res}/desktop/velmora.png"
        DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps")

# The licence in Debian's machine-readable copyright format: LICENSE's
# permission text as the Expat licence paragraph (Debian's name for MIT).
file(READ "${PROJECT_SOURCE_DIR}/LICENSE" _licence)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/LICENSE")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${_licence}")
set(_holder "${CMAKE_MATCH_1}")
string(FIND "${_licence}" "Permission is hereby granted" _at)
if(_at LESS 0 OR _holder STREQUAL "")
  message(FATAL_ERROR "LICENSE: no copyright line or permission text")
endif()
string(SUBSTRING "${_licence}" ${_at} -1 _text)
string(STRIP "${_text}" _text)
string(REPLACE "\n\n" "\n.\n" _text "${_text}")
string(REPLACE "\n" "\n " _text "${_text}")
file(CONFIGURE OUTPUT "${_files}/copyright" @ONLY CONTENT
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Velmora
Upstream-Contact: The Velmora developers <support@velmora.example>

Files: *
Copyright: ${_holder}
License: Expat

License: Expat
 ${_text}
")
install(FILES "${_files}/copyright" DESTINATION "${VELMORA_DOC_DIR}")

# The manual page and the changelog, compressed as Debian wants them
# (gzip -n: no name or time stamp, so the same sources give the same bytes).
find_program(VELMORA_GZIP gzip REQUIRED)
configure_file("${_res}/velmora.1.in" "${_files}/man/velmora.1" @ONLY)
configure_file("${_res}/changelog" "${_files}/doc/changelog" COPYONLY)
add_custom_command(OUTPUT "${_files}/velmora.1.gz"
  COMMAND "${VELMORA_GZIP}" -9nc "${_files}/man/velmora.1" > "${_files}/velmora.1.gz"
  DEPENDS "${_files}/man/velmora.1")
add_custom_command(OUTPUT "${_files}/changelog.gz"
  COMMAND "${VELMORA_GZIP}" -9nc "${_files}/doc/changelog" > "${_files}/changelog.gz"
  DEPENDS "${_files}/doc/changelog")
add_custom_target(velmora_install_files ALL
  DEPENDS "${_files}/velmora.1.gz" "${_files}/changelog.gz")
install(FILES "${_files}/velmora.1.gz" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
install(FILES "${_files}/changelog.gz" DESTINATION "${VELMORA_DOC_DIR}")
