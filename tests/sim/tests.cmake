# Unit tests of the simulator's pieces (script parser, options, trace, digest,
# bot) and a few in-process runs; they link simlib, not just the game library.
add_executable(test_sim ${srcs})
target_link_libraries(test_sim PRIVATE simlib GTest::gtest GTest::gtest_main)
target_include_directories(test_sim PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})  # support/world.h
target_compile_definitions(test_sim PRIVATE SB_GAME_DIR="${SB_GAME_DIR}"
                           SB_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SB_BINARY_DIR="${CMAKE_BINARY_DIR}")
add_test(NAME sim COMMAND test_sim)
set_tests_properties(sim PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy")
