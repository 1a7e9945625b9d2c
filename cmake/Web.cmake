# The browser build (configured with emcmake by scripts/web.sh): the game on
# the web back end, compiled to WebAssembly with Asyncify so the screens'
# frame loops sleep in Delay, with the images and sounds made by a native
# assetgen (SB_WEB_ASSETS) bundled as preloaded files. No SDL anywhere.
set(SB_WEB_ASSETS "" CACHE PATH "Folder holding the generated images/ and sounds/")
if(NOT IS_DIRECTORY "${SB_WEB_ASSETS}/images" OR NOT IS_DIRECTORY "${SB_WEB_ASSETS}/sounds")
  message(FATAL_ERROR "SB_WEB_ASSETS must name a folder with images/ and sounds/ (native assetgen)")
endif()
find_path(SB_STB_DIR stb_image.h PATHS /usr/include/stb NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)

file(GLOB_RECURSE SB_WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.cpp)
list(FILTER SB_WEB_SOURCES EXCLUDE REGEX ".*/src/(main|main_web)\\.cpp$")
# Whatever talks to SDL (the desktop back end, its decoders, pad helpers)
# stays out, found by its includes.
foreach(f ${SB_WEB_SOURCES})
  file(STRINGS ${f} sdl REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](SDL2/)?SDL")
  if(sdl)
    list(REMOVE_ITEM SB_WEB_SOURCES ${f})
  endif()
endforeach()
add_library(swarmweb STATIC ${SB_WEB_SOURCES} ${CMAKE_SOURCE_DIR}/tools/sim/script.cpp)
target_include_directories(swarmweb PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools/sim)
target_include_directories(swarmweb SYSTEM PRIVATE ${SB_STB_DIR})
# SSE2 intrinsics become WebAssembly SIMD: the renderer keeps its vector kernel.
target_compile_options(swarmweb PUBLIC -O3 -msimd128 -msse2)
target_compile_definitions(swarmweb PUBLIC SB_GAME_VERSION="${PROJECT_VERSION}")

set(SB_WEB_LINK
    -O3 -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=64MB
    -sENVIRONMENT=web -sFORCE_FILESYSTEM=1 -lidbfs.js
    "-sEXPORTED_RUNTIME_METHODS=['FS','addRunDependency','removeRunDependency']")
add_executable(swarmbreak ${CMAKE_SOURCE_DIR}/src/main_web.cpp)
target_link_libraries(swarmbreak PRIVATE swarmweb)
target_link_options(swarmbreak PRIVATE ${SB_WEB_LINK}
    "--preload-file=${SB_WEB_ASSETS}/images@/game/images"
    "--preload-file=${SB_WEB_ASSETS}/sounds@/game/sounds")
set_target_properties(swarmbreak PROPERTIES SUFFIX ".js")

# The page beside the build's output.
foreach(f index.html page.js style.css)
  configure_file(${CMAKE_SOURCE_DIR}/web/${f} ${CMAKE_BINARY_DIR}/${f} COPYONLY)
endforeach()

# The heavy-frame timer (tests/web), on the same sources; not part of the
# page. Building its wave-100 state stops runs by throwing, so it is
# compiled with WebAssembly exceptions (the game itself needs none).
add_library(swarmweb_timer STATIC ${SB_WEB_SOURCES} ${CMAKE_SOURCE_DIR}/tools/sim/bot.cpp
                                  ${CMAKE_SOURCE_DIR}/bench/heavy.cpp)
target_include_directories(swarmweb_timer PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tools/sim
                                                 ${CMAKE_SOURCE_DIR}/bench)
target_include_directories(swarmweb_timer SYSTEM PRIVATE ${SB_STB_DIR})
target_compile_options(swarmweb_timer PUBLIC -O3 -msimd128 -msse2 -fwasm-exceptions)
target_compile_definitions(swarmweb_timer PUBLIC SB_GAME_VERSION="${PROJECT_VERSION}")
add_executable(heavy_frame ${CMAKE_SOURCE_DIR}/tests/web/heavy_frame.cpp)
target_link_libraries(heavy_frame PRIVATE swarmweb_timer)
target_link_options(heavy_frame PRIVATE -O3 -fwasm-exceptions -sALLOW_MEMORY_GROWTH=1
    -sINITIAL_MEMORY=64MB -sENVIRONMENT=web
    "--preload-file=${SB_WEB_ASSETS}/images@/game/images"
    "--preload-file=${SB_WEB_ASSETS}/sounds@/game/sounds")
set_target_properties(heavy_frame PROPERTIES SUFFIX ".js")
