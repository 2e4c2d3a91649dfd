#!/usr/bin/env bash
# Prints the names a host built by Microsoft's rules imports from the DLL for
# every function the header declares: clang in Microsoft mode compiles a
# translation unit that takes each one's address (LIST is the build's
# declared_exports.txt), and the imports it leaves undefined are read back
# as the DLL names them (no __imp_ prefix, no leading underscore of a
# 32-bit C name).
#   scripts/msvc-imports.sh i686|x86_64 LIST WORKDIR
set -euo pipefail
arch=$1
list=$2
work=$3
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$work"
{
  echo '#include "owlgraphic.h"'
  echo 'extern const void* const owl_every_function[] = {'
  awk '{ print "  reinterpret_cast<const void*>(&" $2 ")," }' "$list"
  echo '};'
} >"$work/every_function.cpp"
clang++ --target="$arch-pc-windows-msvc" -std=c++17 -c -Werror \
  -I "$root/tests/msvc_host/include" -I "$root/include" \
  -o "$work/every_function.obj" "$work/every_function.cpp"
llvm-nm --undefined-only --format=just-symbols "$work/every_function.obj" |
  sed -n 's/^__imp_//p' |
  if [ "$arch" = i686 ]; then sed 's/^_//'; else cat; fi |
  sort
