# cmake -DBUILD_DIR=... -DWORK=... -DSOURCE_DIR=... -P install_layout.cmake
# Stages an install the way a package build does (DESTDIR=<stage>, prefix
# /usr) and checks the file list, install_manifest.txt, the one presets.txt
# in the program folder, the bin/ link and the desktop entry; installs again
# over a user's presets.txt, which must be kept; installs once without
# DESTDIR into a prefix of its own. Also checks that the build's own copy
# step never replaces presets.txt.
# expect("<if() condition>" "message"): fails the test unless it holds.
function(expect condition message)
  cmake_language(EVAL CODE "if(NOT (${condition}))\n message(FATAL_ERROR [==[${message}]==])\nendif()")
endfunction()

# install_into(<DESTDIR or "">, <prefix>): one cmake --install of BUILD_DIR.
function(install_into destdir prefix)
  if(destdir STREQUAL "")
    set(env --unset=DESTDIR)
  else()
    set(env "DESTDIR=${destdir}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E env ${env}
                          "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  expect("rc EQUAL 0" "cmake --install (DESTDIR=${destdir}, prefix ${prefix}) failed:\n${out}")
endfunction()

# Every file and link under <dir>, as sorted paths relative to it.
function(files_under dir out)
  file(GLOB_RECURSE found LIST_DIRECTORIES false RELATIVE "${dir}" "${dir}/*")
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

# install_manifest.txt of the last install, as sorted absolute paths.
function(manifest out)
  file(STRINGS "${BUILD_DIR}/install_manifest.txt" listed)
  list(SORT listed)
  set(${out} "${listed}" PARENT_SCOPE)
endfunction()

set(expected_files
  "usr/bin/velmora"
  "usr/lib/velmora/Velmora 1_0.HLP"
  "usr/lib/velmora/presets.txt"
  "usr/lib/velmora/velmora"
  "usr/share/applications/org.velmora.Velmora.desktop"
  "usr/share/doc/velmora/changelog.gz"
  "usr/share/doc/velmora/copyright"
  "usr/share/icons/hicolor/48x48/apps/velmora.png"
  "usr/share/icons/hicolor/scalable/apps/velmora.svg"
  "usr/share/man/man1/velmora.1.gz"
  "usr/share/metainfo/org.velmora.Velmora.metainfo.xml")
string(REPLACE ";" "\n" expected_text "${expected_files}")

file(REMOVE_RECURSE "${WORK}")
set(stage "${WORK}/stage")
install_into("${stage}" /usr)

# The staged file list: exactly the expected files, nothing outside /usr
# (a doubled DESTDIR would show as a path under the stage's own path).
files_under("${stage}" staged)
string(REPLACE ";" "\n" staged_text "${staged}")
expect("staged_text STREQUAL expected_text"
       "staged install:\n${staged_text}\n\nexpected:\n${expected_text}")

# presets.txt once, in the program folder, six empty values.
file(GLOB_RECURSE presets LIST_DIRECTORIES true RELATIVE "${stage}" "${stage}/*")
list(FILTER presets INCLUDE REGEX "presets\\.txt")
expect("presets STREQUAL \"usr/lib/velmora/presets.txt\"" "presets.txt in the stage: ${presets}")
set(program "${stage}/usr/lib/velmora")
file(READ "${program}/presets.txt" fresh HEX)
expect("fresh STREQUAL \"22222c22222c22222c22222c22222c22220d0a\"" "fresh presets.txt is not six empty values: ${fresh}")

# install_manifest.txt lists every installed file, by its path on the
# target system (without DESTDIR).
manifest(listed)
set(staged_abs "")
foreach(f IN LISTS staged)
  list(APPEND staged_abs "/${f}")
endforeach()
string(REPLACE ";" "\n" listed_text "${listed}")
string(REPLACE ";" "\n" staged_abs_text "${staged_abs}")
expect("listed_text STREQUAL staged_abs_text"
       "install_manifest.txt:\n${listed_text}\n\nfiles installed:\n${staged_abs_text}")

# bin/velmora: a relative link that reaches the installed program.
expect("IS_SYMLINK \"${stage}/usr/bin/velmora\"" "bin/velmora is not a link")
file(READ_SYMLINK "${stage}/usr/bin/velmora" link)
expect("link STREQUAL \"../lib/velmora/velmora\"" "bin/velmora points at ${link}")
file(REAL_PATH "${stage}/usr/bin/velmora" reached)
file(REAL_PATH "${program}/velmora" program_file)
expect("reached STREQUAL program_file" "bin/velmora reaches ${reached}, not the program")
expect("NOT IS_SYMLINK \"${program_file}\" AND NOT IS_DIRECTORY \"${program_file}\"" "the program is not a file")
file(SIZE "${program_file}" size)
expect("size GREATER 0" "the installed program is empty")

# The desktop entry starts the installed program: its command is found in
# the prefix's bin/ (the folder on PATH) and reaches the program; its icon
# is installed.
set(entry_file "${stage}/usr/share/applications/org.velmora.Velmora.desktop")
file(STRINGS "${entry_file}" entry)
list(GET entry 0 group)
expect("group STREQUAL \"[Desktop Entry]\"" "the desktop entry starts with ${group}")
list(FILTER entry INCLUDE REGEX "^(Exec|TryExec|Icon|Type)=")
list(SORT entry)
string(REPLACE ";" "|" entry_keys "${entry}")
expect("entry_keys STREQUAL \"Exec=velmora %f|Icon=velmora|TryExec=velmora|Type=Application\""
       "desktop entry keys: ${entry_keys}")
file(REAL_PATH "${stage}/usr/bin/velmora" exec_target)
expect("exec_target STREQUAL program_file" "the desktop entry's command does not start the program")
foreach(icon "48x48/apps/velmora.png" "scalable/apps/velmora.svg")
  expect("EXISTS \"${stage}/usr/share/icons/hicolor/${icon}\"" "icon missing: ${icon}")
endforeach()
file(READ "${stage}/usr/share/metainfo/org.velmora.Velmora.metainfo.xml" metainfo)
string(FIND "${metainfo}" "<launchable type=\"desktop-id\">org.velmora.Velmora.desktop</launchable>" at)
expect("at GREATER -1" "the metainfo does not launch the installed desktop entry")

# A second install keeps the user's presets.txt, lists only what it wrote,
# and changes nothing else in the file list.
file(WRITE "${program}/presets.txt" "saved by the user")
install_into("${stage}" /usr)
file(READ "${program}/presets.txt" kept)
expect("kept STREQUAL \"saved by the user\"" "install replaced the user's presets.txt")
files_under("${stage}" staged_again)
expect("staged_again STREQUAL staged" "the second install changed the file list: ${staged_again}")
manifest(listed_again)
set(written "${staged_abs}")
list(REMOVE_ITEM written "/usr/lib/velmora/presets.txt")
expect("listed_again STREQUAL written" "second install_manifest.txt: ${listed_again}")

# Without DESTDIR, into a prefix of its own.
set(prefix "${WORK}/prefix")
install_into("" "${prefix}")
files_under("${WORK}" everything)
list(FILTER everything INCLUDE REGEX "presets\\.txt")
expect("everything STREQUAL \"prefix/lib/velmora/presets.txt;stage/usr/lib/velmora/presets.txt\""
       "presets.txt after the install into ${prefix}: ${everything}")
file(READ "${prefix}/lib/velmora/presets.txt" fresh HEX)
expect("fresh STREQUAL \"22222c22222c22222c22222c22222c22220d0a\"" "fresh presets.txt in ${prefix} is ${fresh}")

# The build's copy step.
file(WRITE "${WORK}/copy/presets.txt" "saved by the user")
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE=${SOURCE_DIR}/resources/presets.txt
                        -DTARGET=${WORK}/copy/presets.txt -P ${SOURCE_DIR}/cmake/CopyIfAbsent.cmake)
file(READ "${WORK}/copy/presets.txt" kept)
expect("kept STREQUAL \"saved by the user\"" "the build replaced presets.txt")
execute_process(COMMAND "${CMAKE_COMMAND}" -DSOURCE=${SOURCE_DIR}/resources/presets.txt
                        -DTARGET=${WORK}/copy/new/presets.txt -P ${SOURCE_DIR}/cmake/CopyIfAbsent.cmake)
expect("EXISTS \"${WORK}/copy/new/presets.txt\"" "the build did not lay down a fresh presets.txt")
file(REMOVE_RECURSE "${WORK}")
