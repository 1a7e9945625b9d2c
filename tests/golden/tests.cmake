# Golden replays: every case under cases/ runs swarmbreak-sim (options in
# <case>.args, input script in <case>.input if present) and must print the
# digest recorded in expected.txt. tests/golden/update.sh regenerates it.
set(SB_GOLDEN_DIR ${CMAKE_CURRENT_LIST_DIR})
file(GLOB SB_GOLDEN_CASES CONFIGURE_DEPENDS ${SB_GOLDEN_DIR}/cases/*.args)
foreach(case_file ${SB_GOLDEN_CASES})
  get_filename_component(case ${case_file} NAME_WE)
  add_test(NAME golden_${case}
           COMMAND ${CMAKE_COMMAND} -DSIM=$<TARGET_FILE:swarmbreak-sim> -DGAME_DIR=${SB_GAME_DIR}
                   -DCASES=${SB_GOLDEN_DIR}/cases -DWORK=${CMAKE_BINARY_DIR}/golden -DCASE=${case}
                   -P ${SB_GOLDEN_DIR}/run_case.cmake)
  set_tests_properties(golden_${case} PROPERTIES LABELS golden)
endforeach()

# Same seed and input, same trace and digest, with and without drawing.
add_test(NAME golden_determinism
         COMMAND ${CMAKE_COMMAND} -DSIM=$<TARGET_FILE:swarmbreak-sim> -DGAME_DIR=${SB_GAME_DIR}
                 -DWORK=${CMAKE_BINARY_DIR}/golden
                 "-DARGS=--seed;4242;--bot;--difficulty;4;--wave;5;--frames;400"
                 -P ${SB_GOLDEN_DIR}/determinism.cmake)
set_tests_properties(golden_determinism PROPERTIES LABELS golden)
