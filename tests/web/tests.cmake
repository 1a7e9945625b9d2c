# The browser tests run from tests/web/run.sh (node and chromium), not from
# ctest; the native heavy-frame timer beside them is built by
# cmake/WebParts.cmake. Nothing here is a GoogleTest binary.
