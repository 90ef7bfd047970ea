#!/usr/bin/env bash
# Rewrites the README's screenshots in docs/screenshots/ from the real
# program's window: the end-to-end tests that reach those pictures save them
# when TESSARO_SCREENSHOT_DIR is set. They are checked as always, so a picture
# is written only when the window shows what it must.
#
#   test/e2e/update-screenshots.sh      BUILD_DIR=DIR picks the build folder (default build)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD_DIR:-$root/build}
cmake -S "$root" -B "$build"
cmake --build "$build" -j 2 --target tessaro_e2e_test
mkdir -p "$root/docs/screenshots"
TESSARO_SCREENSHOT_DIR="$root/docs/screenshots" "$root/scripts/with-xvfb.sh" \
    "$build/test/e2e/tessaro_e2e_test" \
    --gtest_filter='*OpensAtTheTopLeft*:*CirclesEnabledBeforeTriangulateAppearWithIt*'
ls -l "$root/docs/screenshots"
