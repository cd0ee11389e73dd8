#!/usr/bin/env bash
# Builds and tests PAVRIN:
#   1. build/       Release, everything; its tests run LAST so the output ends with their summary
#   2. build-asan/  Debug, engine and runner only, AddressSanitizer + UndefinedBehaviorSanitizer; tests run
#   3. build-fuzz/  clang++, engine and runner only, libFuzzer targets; built only (fuzzing is manual)
# Stops with a non-zero exit code at the first step that fails.
set -euo pipefail
cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")"

# Qt GUI tests need no display.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

step() { printf '\n==== %s\n' "$*"; }

step "dependencies"
./scripts/install-deps.sh

step "build (Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j2

step "build-asan (Debug, sanitizers)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DPAVRIN_SANITIZE=ON -DPAVRIN_ENGINE_ONLY=ON -DPAVRIN_BENCHMARKS=OFF
cmake --build build-asan -j2
step "tests of build-asan"
ctest --test-dir build-asan --output-on-failure

if command -v clang++ >/dev/null; then
    step "build-fuzz (clang++, libFuzzer targets; run them by hand)"
    CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
        -DPAVRIN_FUZZ=ON -DPAVRIN_ENGINE_ONLY=ON -DPAVRIN_BENCHMARKS=OFF
    cmake --build build-fuzz -j2 --target pavrin_fuzzers
else
    step "build-fuzz skipped: clang++ not found"
fi

step "tests of build"
ctest --test-dir build --output-on-failure
