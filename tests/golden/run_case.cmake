# Runs one golden case through swarmbreak-sim and compares its digest with the
# committed table. Each case runs in a fresh folder that links the game's
# images/ and sounds/ and has an empty scores/, so the high-score table (part
# of the digest) is always the built-in default.
#
#   cmake -DSIM=... -DGAME_DIR=... -DCASES=... -DWORK=... -DCASE=name [-DPRINT=1] -P run_case.cmake
#
# PRINT=1 prints "name digest" instead of comparing (used by update.sh).
foreach(v SIM GAME_DIR CASES WORK CASE)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "run_case.cmake: ${v} not set")
  endif()
endforeach()

set(args_file ${CASES}/${CASE}.args)
set(input_file ${CASES}/${CASE}.input)
if(NOT EXISTS ${args_file})
  message(FATAL_ERROR "golden case '${CASE}': ${args_file} is missing")
endif()
file(READ ${args_file} args_text)
# Comment lines start with '#'; the rest are options.
string(REGEX REPLACE "#[^\n]*" "" args_text "${args_text}")
string(REPLACE "\n" " " args_text "${args_text}")
separate_arguments(args UNIX_COMMAND "${args_text}")
set(case_desc "tests/golden/cases/${CASE}.args")
if(EXISTS ${input_file})
  list(APPEND args --input ${input_file})
  set(case_desc "tests/golden/cases/${CASE}.input")
endif()

set(dir ${WORK}/${CASE})
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir}/scores)
foreach(sub images sounds)
  if(NOT EXISTS ${GAME_DIR}/${sub})
    message(FATAL_ERROR "golden case '${CASE}': ${GAME_DIR}/${sub} is missing (build game_assets)")
  endif()
  file(CREATE_LINK ${GAME_DIR}/${sub} ${dir}/${sub} SYMBOLIC)
endforeach()

execute_process(
  COMMAND ${SIM} ${args} --digest --assets ${dir}
  RESULT_VARIABLE rc
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "golden case '${CASE}' (${case_desc}): swarmbreak-sim exited with ${rc}\n${err}")
endif()
if(NOT out MATCHES "digest ([0-9a-f]+)")
  message(FATAL_ERROR "golden case '${CASE}' (${case_desc}): no digest printed\n${out}${err}")
endif()
set(digest ${CMAKE_MATCH_1})
string(REGEX MATCH "frames [^\n]*" summary "${out}")

if(PRINT)
  message("${CASE} ${digest}  # ${summary}")
  return()
endif()

set(table ${CASES}/../expected.txt)
set(expected "")
if(EXISTS ${table})
  file(STRINGS ${table} lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "^${CASE} ([0-9a-f]+)")
      set(expected ${CMAKE_MATCH_1})
    endif()
  endforeach()
endif()
if(expected STREQUAL "")
  message(FATAL_ERROR "golden case '${CASE}' (${case_desc}): no expected digest in "
                      "tests/golden/expected.txt; got ${digest} (${summary})")
endif()
if(NOT digest STREQUAL expected)
  message(FATAL_ERROR "golden case '${CASE}' (${case_desc}) changed behaviour: digest ${digest}, "
                      "expected ${expected} (${summary}). If the change is intended, run "
                      "tests/golden/update.sh and commit tests/golden/expected.txt.")
endif()
message(STATUS "golden case '${CASE}': ${digest} (${summary})")
