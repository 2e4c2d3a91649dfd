#!/usr/bin/env bash
# A bounded run of the API fuzzer (tests/fuzz): clang with libFuzzer,
# AddressSanitizer (leak checks on) and UndefinedBehaviorSanitizer, in its
# own build folder. Fails on any crash, sanitizer report, leak, broken
# invariant or timeout; the input that caused it is left in
# build-fuzz/artifacts/ (add it to tests/fuzz/corpus/ as regress-<what>).
#
# FUZZ_SECONDS (default 120) is the total time, split over FUZZ_JOBS
# (default 1) processes that share one working corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-120}
jobs=${FUZZ_JOBS:-1}

rt=$(ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null | head -n1 || true)
if ! command -v clang++ >/dev/null || [ -z "$rt" ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq clang libclang-rt-14-dev
  else
    echo "clang and libclang-rt-14-dev are needed for the fuzzer (install them, or run as root)" >&2
    exit 1
  fi
fi

cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOWL_BUILD_FUZZER=ON \
  -DOWL_BUILD_TESTS=OFF -DOWL_BUILD_BENCH=OFF -DOWL_BUILD_EXAMPLES=OFF
cmake --build build-fuzz -j"${JOBS:-2}" --target owl_api_fuzzer

# New inputs go to a working corpus, never into the checked-in one.
work=build-fuzz/corpus
rm -rf "$work" build-fuzz/artifacts
mkdir -p "$work" build-fuzz/artifacts
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
per_job=$((seconds / jobs))
pids=()
for j in $(seq 1 "$jobs"); do
  build-fuzz/tests/fuzz/owl_api_fuzzer -max_total_time="$per_job" -timeout=20 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -seed="$j" -artifact_prefix=build-fuzz/artifacts/ \
    "$work" tests/fuzz/corpus >"build-fuzz/fuzz-$j.log" 2>&1 &
  pids+=($!)
done
status=0
for j in "${!pids[@]}"; do
  if ! wait "${pids[$j]}"; then
    status=1
    echo "fuzzer job $((j + 1)) found a problem:" >&2
    tail -n 60 "build-fuzz/fuzz-$((j + 1)).log" >&2
  fi
done
for j in $(seq 1 "$jobs"); do grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)" "build-fuzz/fuzz-$j.log" || true; done

# ---- The PNG loader of owlgraphic_png (built when libpng is found), from
# seeds of every PNG kind written at run time, for PNG_FUZZ_SECONDS (default
# a quarter of FUZZ_SECONDS, at least 10). Inputs up to 16 KB: a file that
# size may rightly hold a texture of 540 MB, well inside the memory limit.
if [ -d build-fuzz/tests/png/fuzz ]; then
  cmake --build build-fuzz -j"${JOBS:-2}" --target owl_png_fuzzer owl_png_seeds
  png_seconds=${PNG_FUZZ_SECONDS:-$((seconds / 4 > 10 ? seconds / 4 : 10))}
  rm -rf build-fuzz/png-corpus build-fuzz/png-seeds
  mkdir -p build-fuzz/png-corpus build-fuzz/png-seeds
  build-fuzz/tests/png/fuzz/owl_png_seeds build-fuzz/png-seeds
  if ! build-fuzz/tests/png/fuzz/owl_png_fuzzer -max_total_time="$png_seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len=16384 -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/png- \
      build-fuzz/png-corpus build-fuzz/png-seeds >build-fuzz/fuzz-png.log 2>&1; then
    status=1
    echo "the PNG fuzzer found a problem:" >&2
    tail -n 60 build-fuzz/fuzz-png.log >&2
  fi
  grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb|#[0-9]+ +DONE)" build-fuzz/fuzz-png.log || true
fi
ls build-fuzz/artifacts
exit "$status"
