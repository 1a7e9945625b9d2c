# The parts of the browser build that the desktop's tests check natively:
# the plain BMP/WAV decoders (held to SDL's output) and the browser key map
# (held to the SDL back end's). Debian's libstb-dev provides stb_image.h.
find_path(SB_STB_DIR stb_image.h PATH_SUFFIXES stb REQUIRED)
add_library(webparts STATIC ${CMAKE_SOURCE_DIR}/src/platform/decode_plain.cpp
                            ${CMAKE_SOURCE_DIR}/src/platform/web_keys.cpp)
target_include_directories(webparts SYSTEM PRIVATE ${SB_STB_DIR})
target_link_libraries(webparts PUBLIC swarmcore)
if(TARGET test_platform)
  target_link_libraries(test_platform PRIVATE webparts)
  if(TARGET game_assets)
    add_dependencies(test_platform game_assets)  # the decoders read every generated file
  endif()
endif()

# The heavy-frame timer the browser tests run natively beside the browser's.
if(SB_WEB_NATIVE)
  add_executable(heavy_frame ${CMAKE_SOURCE_DIR}/tests/web/heavy_frame.cpp
                             ${CMAKE_SOURCE_DIR}/bench/heavy.cpp)
  target_include_directories(heavy_frame PRIVATE ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(heavy_frame PRIVATE simlib)
endif()
