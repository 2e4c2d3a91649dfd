#!/usr/bin/env bash
# Installs what a build needs on Debian 12 when it is missing (as root).
#   scripts/setup.sh [native|bench|win64|win32|linux32]...   (default: native)
# bench: the peer libraries of bench/peer_compare.cpp (never needed by tests).
set -euo pipefail
need=()
# want PACKAGE TEST...: PACKAGE is needed unless the test succeeds.
want() { local pkg=$1; shift; "$@" >/dev/null 2>&1 || need+=("$pkg"); }
for stage in "${@:-native}"; do
  case $stage in
    native)
      want cmake command -v cmake
      want g++ command -v g++
      want binutils command -v nm
      want libgtest-dev test -f /usr/include/gtest/gtest.h
      want libbenchmark-dev test -f /usr/include/benchmark/benchmark.h
      want libpng-dev test -f /usr/include/png.h
      want pkg-config command -v pkg-config
      ;;
    bench)
      want libpixman-1-dev test -f /usr/include/pixman-1/pixman.h
      want libyuv-dev test -f /usr/include/libyuv.h
      want libopencv-imgproc-dev test -f /usr/include/opencv4/opencv2/imgproc.hpp
      ;;
    win64)
      want g++-mingw-w64-x86-64-posix command -v x86_64-w64-mingw32-g++-posix
      want wine64 test -x /usr/lib/wine/wine64
      want googletest test -f /usr/src/googletest/CMakeLists.txt
      ;;
    win32)
      want g++-mingw-w64-i686-posix command -v i686-w64-mingw32-g++-posix
      ;;
    linux32)
      want g++-i686-linux-gnu command -v i686-linux-gnu-g++
      want qemu-user command -v qemu-i386
      want googletest test -f /usr/src/googletest/CMakeLists.txt
      ;;
    *) echo "setup.sh: unknown stage $stage" >&2; exit 2 ;;
  esac
done
if [ ${#need[@]} -gt 0 ]; then
  if [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
  else
    echo "missing packages: ${need[*]} (install them, or run as root)" >&2
    exit 1
  fi
fi
