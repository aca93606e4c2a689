# cmake -DBUILD_DIR=... -DWORK=... -DSOURCE_DIR=... -P install_layout.cmake
# Installs into a scratch prefix twice and checks the program folder, the
# desktop entry, and that a user's presets.txt survives a second install.
# Also checks that the build's own copy step never replaces presets.txt.
# expect("<if() condition>" "message"): fails the test unless it holds.
function(expect condition message)
  cmake_language(EVAL CODE "if(NOT (${condition}))\n message(FATAL_ERROR [==[${message}]==])\nendif()")
endfunction()

file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
expect("rc EQUAL 0" "cmake --install failed:\n${out}")

set(program "${WORK}/lib/velmora")
foreach(f velmora "Velmora 1_0.HLP" presets.txt)
  expect("EXISTS \"${program}/${f}\"" "missing in the program folder: ${f}")
endforeach()
file(READ "${program}/presets.txt" fresh HEX)
expect("fresh STREQUAL \"22222c22222c22222c22222c22222c22220d0a\"" "fresh presets.txt is not six empty values: ${fresh}")
expect("IS_SYMLINK \"${WORK}/bin/velmora\"" "bin/velmora is not a link to the program")
expect("EXISTS \"${WORK}/share/icons/hicolor/scalable/apps/velmora.svg\"" "icon missing")
file(READ "${WORK}/share/applications/velmora.desktop" entry)
string(FIND "${entry}" "Exec=${WORK}/lib/velmora/velmora\n" at)
expect("at GREATER -1" "desktop entry does not start the installed program:\n${entry}")
string(FIND "${entry}" "Icon=velmora\n" at)
expect("at GREATER -1" "desktop entry names no icon")

file(WRITE "${program}/presets.txt" "saved by the user")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
expect("rc EQUAL 0" "second cmake --install failed")
file(READ "${program}/presets.txt" kept)
expect("kept STREQUAL \"saved by the user\"" "install replaced the user's presets.txt")

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
