#!/usr/bin/env bash
# Prints the names a Windows host imports from the DLL for every function the
# header declares, as the given compiler decorates them: clang in Microsoft
# mode (msvc) or mingw-w64's g++ (gnu) compiles a translation unit that
# takes each one's address (LIST is the build's declared_exports.txt), and
# the imports it leaves undefined are read back as the DLL names them (no
# __imp_ prefix, no leading underscore of a 32-bit name).
#   scripts/header-imports.sh msvc|gnu i686|x86_64 LIST WORKDIR
set -euo pipefail
kind=$1
arch=$2
list=$3
work=$4
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$work"
{
  echo '#include "owlgraphic.h"'
  echo 'extern const void* const owl_every_function[] = {'
  awk '{ print "  reinterpret_cast<const void*>(&" $2 ")," }' "$list"
  echo '};'
} >"$work/every_function.cpp"
obj=$work/every_function-$kind.obj
if [ "$kind" = msvc ]; then
  # No Windows SDK here: a stand-in <windows.h> gives the header its HDC.
  clang++ --target="$arch-pc-windows-msvc" -std=c++17 -c -Werror \
    -I "$root/tests/msvc_host/include" -I "$root/include" -o "$obj" "$work/every_function.cpp"
  nm="llvm-nm"
else
  "$arch-w64-mingw32-g++-posix" -std=c++17 -c -Werror -I "$root/include" -o "$obj" "$work/every_function.cpp"
  nm="$arch-w64-mingw32-nm"
fi
"$nm" --undefined-only --format=just-symbols "$obj" |
  sed 's/^__imp_//' |
  if [ "$arch" = i686 ]; then sed 's/^_//'; else cat; fi |
  sort
