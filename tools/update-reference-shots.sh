#!/usr/bin/env bash
# Writes the window tests' reference screenshots anew from the current
# build, after an intended change to how the window looks. Look at the
# pictures in tests/reference/ before committing them.
# Usage: tools/update-reference-shots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake --build "$build" --target window_tests
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy LC_ALL=C.UTF-8 ZORBANU_UPDATE_REFERENCE=1 \
  "$build/tests/window_tests" --gtest_filter='QuizWindowTest.*'
ls -l tests/reference
