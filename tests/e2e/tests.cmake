# End-to-end tests: the real game binary in a private Xvfb, driven with
# xdotool and checked on screenshots, the audio it plays and the files it
# writes. Bash scripts, one CTest test each; a failing one leaves its
# screenshots and logs under <build>/e2e/<test>/.
set(SB_E2E_DIR ${CMAKE_CURRENT_LIST_DIR})

find_package(X11 REQUIRED)
add_executable(sb-xhelper ${SB_E2E_DIR}/xhelper.cpp)
target_link_libraries(sb-xhelper PRIVATE X11::X11)

set(SB_E2E_ENV
    "SB_BIN=$<TARGET_FILE:swarmbreak>"
    "SB_GAME_DIR=${SB_GAME_DIR}"
    "SB_E2E_OUT=${CMAKE_BINARY_DIR}/e2e"
    "SB_XHELPER=$<TARGET_FILE:sb-xhelper>")
# Under the sanitizers: the X11 and GL libraries that SDL loads leak at exit,
# from code without frame pointers, so their leaks can be neither told apart
# nor suppressed; leaks are checked by the headless tests of the same code.
list(APPEND SB_E2E_ENV "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1")
if(TARGET swarmbreak-sim)
  list(APPEND SB_E2E_ENV "SB_SIM=$<TARGET_FILE:swarmbreak-sim>")
endif()

# sb_e2e_test(NAME SCRIPT [ARGS...]): the script gets LIMIT seconds from its
# own watchdog, CTest allows a little more for the cleanup.
function(sb_e2e_test name script)
  set(limit 150)
  add_test(NAME e2e_${name} COMMAND bash ${SB_E2E_DIR}/${script} ${ARGN})
  set_tests_properties(e2e_${name} PROPERTIES
    ENVIRONMENT "${SB_E2E_ENV};E2E_NAME=${name};SB_E2E_LIMIT=${limit}"
    TIMEOUT 180 LABELS e2e)
endfunction()

sb_e2e_test(title title.sh)
sb_e2e_test(scores_kept scores.sh)
sb_e2e_test(missing_images missing.sh)
sb_e2e_test(play_silent play.sh)
sb_e2e_test(play_sound sound.sh)
sb_e2e_test(fullscreen_5x4 fullscreen.sh 1280x1024)
sb_e2e_test(fullscreen_16x9 fullscreen.sh 1920x1080)
sb_e2e_test(pad_only pad.sh)
sb_e2e_test(replay replay.sh)
sb_e2e_test(german_layout layout.sh)
