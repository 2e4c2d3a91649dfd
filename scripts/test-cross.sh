#!/usr/bin/env bash
# Cross builds of the library and their tests, one stage per target:
#   win64    64-bit Windows (mingw-w64): the whole suite once under Wine, the
#            DLL's export table and a host built the Microsoft way
#   linux32  32-bit x86 Linux: the whole suite once under qemu-i386, split
#            into a process per core
#   win32    32-bit Windows (mingw-w64): the whole suite once under 32-bit
#            Wine (natively, or through qemu-i386 where the kernel cannot run
#            32-bit programs; OWL_WINE32_QEMU=1 forces that), the DLL's
#            export table and a host built the Microsoft way
# Each stage builds the library and the suite only. Under qemu the tests see
# OWL_TEST_EMULATED=1, and the few sweeps whose references take minutes there
# check a subset of their cases (the native runs check them all).
#   scripts/test-cross.sh STAGE...   (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-2}

build() {  # build FOLDER TOOLCHAIN [CMAKE ARGUMENT]...
  local dir=$1 toolchain=$2
  shift 2
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/$toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DOWL_BUILD_TESTS=ON -DOWL_BUILD_BENCH=OFF -DOWL_BUILD_EXAMPLES=OFF "$@"
  cmake --build "$dir" -j"$jobs"
}

stages=("$@")
[ $# -gt 0 ] || stages=(win64 linux32 win32)
bash scripts/setup.sh "${stages[@]}"  # one package install for every stage
for stage in "${stages[@]}"; do
  start=$SECONDS
  echo "== cross stage $stage"
  # ctest -V shows the suite's own summary: the one test is the whole suite.
  case $stage in
    win64)
      build build-win64 mingw-w64-x86_64
      bash scripts/check-dll-exports.sh x86_64-w64-mingw32-objdump build-win64/owlgraphic.dll
      (cd build-win64 && ctest --output-on-failure -V)
      bash scripts/check-msvc-host.sh build-win64
      ;;
    linux32)
      # qemu-user runs each process on one core: the suite in one shard a
      # core, side by side.
      build build-linux32 linux-i686 -DOWL_TEST_SHARDS="$jobs"
      # The threads stress test runs natively and under ThreadSanitizer;
      # emulated, its threads take many minutes.
      (cd build-linux32 && GTEST_FILTER='-Threads.*' OWL_TEST_EMULATED=1 ctest -j"$jobs" --output-on-failure -V)
      ;;
    win32)
      build build-win32 mingw-w64-i686
      bash scripts/check-dll-exports.sh i686-w64-mingw32-objdump build-win32/owlgraphic.dll
      filter='*' emulated=0
      if bash scripts/wine32-native.sh; then
        echo "32-bit Wine runs natively"
      else
        echo "32-bit Wine runs through $(qemu-i386 --version | head -n1)"
        filter='-Threads.*' emulated=1  # as for linux32: emulated threads take minutes
      fi
      (cd build-win32 && GTEST_FILTER="$filter" OWL_TEST_EMULATED=$emulated ctest --output-on-failure -V)
      bash scripts/check-msvc-host.sh build-win32
      ;;
    *) echo "test-cross.sh: unknown stage $stage" >&2; exit 2 ;;
  esac
  echo "== cross stage $stage passed in $((SECONDS - start)) s"
done
