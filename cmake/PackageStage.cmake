# Run by cpack (CPACK_PRE_BUILD_SCRIPTS, set in cmake/Package.cmake) on the
# staged install, before the .deb is made:
# - strips the .comment and .note sections from the program, as Debian's
#   dh_strip does (CPack's own stripping leaves them);
# - adds the lintian override for presets.txt, which is the program's data
#   (six empty values read at start-up), not documentation, whatever its
#   .txt name suggests.
set(_stage "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
set(_program "${_stage}/lib/velmora/velmora")
if(NOT EXISTS "${_program}")
  message(FATAL_ERROR "no program staged at ${_program}")
endif()
execute_process(COMMAND "${CPACK_VELMORA_STRIP}" --remove-section=.comment --remove-section=.note
                        "${_program}"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "strip failed on ${_program}")
endif()
file(MAKE_DIRECTORY "${_stage}/share/lintian/overrides")
file(WRITE "${_stage}/share/lintian/overrides/velmora"
"# presets.txt holds the program's presets (data read at start-up), not documentation.
velmora: package-contains-documentation-outside-usr-share-doc [usr/lib/velmora/presets.txt]
")
