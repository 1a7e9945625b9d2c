# The soak driver (sb-soak): the simulator's bot through the waves and into
# the next round, checking record limits and memory. The short run below is
# part of every test run; scripts/soak.sh runs the long ones.
if(TARGET simlib)
  add_executable(sb-soak ${CMAKE_CURRENT_LIST_DIR}/soak.cpp)
  target_link_libraries(sb-soak PRIVATE simlib swarmcore)
  target_include_directories(sb-soak PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  # All hundred waves and the first of the second round, at the hardest
  # difficulty (the most robots), well under a minute even with sanitizers.
  add_test(NAME soak_short COMMAND sb-soak --difficulty 5 --to-level 102 --seed 9)
  set_tests_properties(soak_short PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy" LABELS soak
                       TIMEOUT 120)
endif()

# A whole session (title, game, name entry, table, quit); in the sanitizer
# build LeakSanitizer checks it at exit.
if(TARGET sb-soak AND TARGET swarmbreak-sim)
  add_test(NAME soak_flow
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/flow.sh $<TARGET_FILE:sb-soak>
                   $<TARGET_FILE:swarmbreak-sim> ${CMAKE_CURRENT_LIST_DIR}/flow.input)
  set_tests_properties(soak_flow PROPERTIES LABELS soak TIMEOUT 120)
endif()
