# As every test folder, plus the game's generated images: the fast-path
# test draws every cell of every one of them.
add_executable(test_${name} ${srcs})
target_link_libraries(test_${name} PRIVATE swarmcore GTest::gtest GTest::gtest_main)
target_include_directories(test_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(test_${name} PRIVATE SB_GAME_DIR="${SB_GAME_DIR}")
if(TARGET game_assets)
  add_dependencies(test_${name} game_assets)
endif()
add_test(NAME ${name} COMMAND test_${name})
