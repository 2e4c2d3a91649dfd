#!/usr/bin/env bash
# Installs what a build needs on Debian 12 when it is missing (as root).
#   scripts/setup.sh [native|bench|win64|win32|linux32]...   (default: native)
# bench: the peer libraries of bench/peer_compare.cpp (never needed by tests).
set -euo pipefail
need=()
# want PACKAGE TEST...: PACKAGE is needed unless the test succeeds.
want() { local pkg=$1; shift; "$@" >/dev/null 2>&1 || need+=("$pkg"); }
# clang in Microsoft mode, lld-link and llvm-dlltool: the Microsoft-style
# names and host of the Windows stages (scripts/check-dll-exports.sh,
# scripts/check-msvc-host.sh).
msvc_tools() {
  want clang command -v clang++
  want lld command -v lld-link
  want llvm command -v llvm-dlltool
}
root() {
  [ "$(id -u)" = 0 ] && command -v apt-get >/dev/null && return
  echo "missing: $* (install them, or run as root)" >&2
  exit 1
}
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
      want libtsan2 sh -c 'ldconfig -p | grep -q libtsan\.so\.2'
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
      msvc_tools
      ;;
    win32)
      want g++-mingw-w64-i686-posix command -v i686-w64-mingw32-g++-posix
      # 64-bit Wine makes the prefix, 32-bit Wine runs the programs.
      want wine64 test -x /usr/lib/wine/wine64
      want wine32:i386 test -x /usr/lib/wine/wine
      want googletest test -f /usr/src/googletest/CMakeLists.txt
      msvc_tools
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
  root "packages ${need[*]}"
  if [[ " ${need[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

# Where the kernel cannot run 32-bit programs, 32-bit Wine runs under
# qemu-i386, which needs version 10 or later to start it in well under a
# minute (Debian 12 has 7.2; its backports suite has 10).
if [[ " $* " == *" win32 "* ]] && ! bash "$(dirname "$0")/wine32-native.sh"; then
  qemu=$(qemu-i386 --version 2>/dev/null | sed -n '1s/.* version \([0-9]*\).*/\1/p')
  if [ "${qemu:-0}" -lt 10 ]; then
    root "qemu-user 10 or later"
    bash "$(dirname "$0")/add-backports.sh"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
      "qemu-user/$(. /etc/os-release && echo "$VERSION_CODENAME")-backports"
  fi
fi
