#!/usr/bin/env bash
# Compiles the public header as C99 and as C++17 with every common warning
# turned into an error: compile_header.sh <c compiler> <c++ compiler> <include dir>.
set -euo pipefail
cc=$1 cxx=$2 include=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
flags=(-Wall -Wextra -pedantic -Werror -I"$include" -c)
"$cc" -std=c99 "${flags[@]}" "$here/header_c99.c" -o "$work/c99.o"
"$cxx" -std=c++17 "${flags[@]}" "$here/header_cxx17.cpp" -o "$work/cxx17.o"
# Clang warns about things GCC does not; try it too when it is installed.
if command -v clang >/dev/null && command -v clang++ >/dev/null; then
  clang -std=c99 "${flags[@]}" "$here/header_c99.c" -o "$work/clang_c99.o"
  clang++ -std=c++17 "${flags[@]}" "$here/header_cxx17.cpp" -o "$work/clang_cxx17.o"
fi
echo "owlgraphic.h: clean as C99 and as C++17"
