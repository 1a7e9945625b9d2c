# Installing into a scratch prefix and playing through the installed
# launcher, with a scratch home; uses the end-to-end tests' helpers.
set(SB_INSTALL_TEST_ENV
    "ASAN_OPTIONS=detect_leaks=0:abort_on_error=1" # see tests/e2e/tests.cmake
    "SB_BIN=$<TARGET_FILE:swarmbreak>"
    "SB_GAME_DIR=${SB_GAME_DIR}"
    "SB_E2E_OUT=${CMAKE_BINARY_DIR}/e2e"
    "SB_XHELPER=$<TARGET_FILE:sb-xhelper>"
    "E2E_NAME=install"
    "SB_E2E_LIMIT=150"
    "SB_BUILD_DIR=${CMAKE_BINARY_DIR}"
    "SB_INSTALL_BINDIR=${SB_INSTALL_BINDIR}"
    "SB_INSTALL_LIBEXECDIR=${SB_INSTALL_LIBEXECDIR}"
    "SB_INSTALL_DATADIR=${SB_INSTALL_DATADIR}"
    "SB_SHARE=${CMAKE_INSTALL_DATADIR}")
add_test(NAME install_and_launch COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install.sh)
set_tests_properties(install_and_launch PROPERTIES
  ENVIRONMENT "${SB_INSTALL_TEST_ENV}" TIMEOUT 180 SKIP_RETURN_CODE 77 LABELS e2e)
