# Asset tests: the generated images and sounds through the game's loaders,
# the generator's error reports, and the BMP/PNG writers. They need the
# generated files and the generator itself, so both are built first.
add_executable(test_assets ${srcs})
target_link_libraries(test_assets PRIVATE swarmcore GTest::gtest GTest::gtest_main)
target_include_directories(test_assets PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(test_assets PRIVATE SB_GAME_DIR="${SB_GAME_DIR}"
                           SB_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                           SB_BINARY_DIR="${CMAKE_BINARY_DIR}"
                           SB_ASSETGEN="$<TARGET_FILE:assetgen>")
add_dependencies(test_assets game_assets assetgen)
# The PNG test also inflates with the system's zlib when there is one.
find_package(ZLIB QUIET)
if(ZLIB_FOUND)
  target_link_libraries(test_assets PRIVATE ZLIB::ZLIB)
  target_compile_definitions(test_assets PRIVATE SB_HAVE_ZLIB=1)
endif()
add_test(NAME assets COMMAND test_assets)
set_tests_properties(assets PROPERTIES ENVIRONMENT "SDL_AUDIODRIVER=dummy")
# The sound tests measure with the generator's own synthesiser and meters.
target_sources(test_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assetgen/synth.cpp
                                   ${CMAKE_SOURCE_DIR}/tools/assetgen/source.cpp)
target_include_directories(test_assets PRIVATE ${CMAKE_SOURCE_DIR}/tools/assetgen)
