# Ordinary builds replay each fuzz target over its committed corpus (seeds
# and every past finding), so a fixed crash stays fixed without libFuzzer.
if(NOT SB_FUZZ)
  foreach(t image sound scores replay)
    add_executable(fuzz_replay_${t} ${CMAKE_CURRENT_LIST_DIR}/${t}_fuzz.cpp
                                    ${CMAKE_CURRENT_LIST_DIR}/replay_main.cpp)
    target_link_libraries(fuzz_replay_${t} PRIVATE swarmcore)
    add_test(NAME fuzz_replay_${t} COMMAND fuzz_replay_${t} ${CMAKE_CURRENT_LIST_DIR}/corpus/${t})
    set_tests_properties(fuzz_replay_${t} PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy"
                         LABELS fuzz)
  endforeach()
endif()
