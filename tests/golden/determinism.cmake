# Runs the same simulation three times: twice alike and once without drawing.
# All three traces must be byte-identical and the digests equal.
#
#   cmake -DSIM=... -DGAME_DIR=... -DWORK=... "-DARGS=--seed;5;--bot" -P determinism.cmake
foreach(v SIM GAME_DIR WORK ARGS)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "determinism.cmake: ${v} not set")
  endif()
endforeach()

set(dir ${WORK}/determinism)
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir}/scores)
foreach(sub images sounds)
  file(CREATE_LINK ${GAME_DIR}/${sub} ${dir}/${sub} SYMBOLIC)
endforeach()

set(digests "")
foreach(run a b nodraw)
  set(extra "")
  if(run STREQUAL "nodraw")
    set(extra --no-draw)
  endif()
  execute_process(
    COMMAND ${SIM} ${ARGS} ${extra} --digest --assets ${dir} --trace ${dir}/${run}.jsonl
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "run '${run}' exited with ${rc}\n${err}")
  endif()
  string(REGEX MATCH "digest [0-9a-f]+" d "${out}")
  list(APPEND digests "${d}")
endforeach()

foreach(run b nodraw)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${dir}/a.jsonl ${dir}/${run}.jsonl
                  RESULT_VARIABLE same)
  if(NOT same EQUAL 0)
    message(FATAL_ERROR "trace of run '${run}' differs from the first run (${dir})")
  endif()
endforeach()
list(REMOVE_DUPLICATES digests)
list(LENGTH digests n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "digests differ between runs: ${digests}")
endif()
file(SIZE ${dir}/a.jsonl size)
if(size EQUAL 0)
  message(FATAL_ERROR "empty trace")
endif()
file(REMOVE_RECURSE ${dir})
message(STATUS "identical traces (${size} bytes), ${digests}")
