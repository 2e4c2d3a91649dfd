#!/usr/bin/env bash
# Builds and runs the whole test suite twice: an optimised build, then a
# build with AddressSanitizer and UndefinedBehaviorSanitizer (leak checks on,
# halting on the first report). Then the cross builds (scripts/test-cross.sh):
# the suite under Wine for 64-bit and 32-bit Windows and under qemu for
# 32-bit Linux, with the DLLs' exports and a host built the Microsoft way;
# OWL_CROSS=0 leaves them out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=${JOBS:-2}

# Every part asked for by name: a missing dependency stops the run.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DOWL_BUILD_TESTS=ON -DOWL_BUILD_BENCH=ON -DOWL_BUILD_PNG=ON -DOWL_BUILD_EXAMPLES=ON
cmake --build build -j"$jobs"
(cd build && ctest -j"$jobs" --output-on-failure)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOWL_SANITIZE=ON \
  -DOWL_BUILD_TESTS=ON -DOWL_BUILD_BENCH=OFF -DOWL_BUILD_PNG=ON -DOWL_BUILD_EXAMPLES=ON
cmake --build build-asan -j"$jobs"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build-asan && ctest -j"$jobs" --output-on-failure)

# A bounded fuzzing run over the whole exported interface.
FUZZ_SECONDS=${FUZZ_SECONDS:-120} bash scripts/fuzz.sh

if [ "${OWL_CROSS:-1}" != 0 ]; then
  bash scripts/test-cross.sh
fi
