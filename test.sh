#!/usr/bin/env bash
# Installs what the tests need, checks the C++ layout with clang-format, builds, and runs every
# test: the GoogleTest suites through CTest, a short fuzzing run of the SQL translator and of the
# window actions' reader, and the browser tests.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
ensure_packages "${ZOVRENA_BUILD_PACKAGES[@]}" "${ZOVRENA_TEST_PACKAGES[@]}"

scripts/check_format.sh

cmake --preset debug
cmake --build --preset debug
ctest --preset debug -j2

if [ -x scripts/fuzz.sh ]; then
    scripts/fuzz.sh "${ZOVRENA_FUZZ_SECONDS:-20}"
fi
if [ -x scripts/e2e.sh ]; then
    scripts/e2e.sh
fi
