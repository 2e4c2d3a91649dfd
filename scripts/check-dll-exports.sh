#!/usr/bin/env bash
# Checks that a Windows build of the library exports exactly the names hosts
# import for the functions the public header declares, as two compilers
# decorate them (scripts/header-imports.sh): mingw-w64's g++ (plain C names,
# GCC's C++ names) and clang in Microsoft mode (the same plain names,
# Microsoft's C++ names). LIST is the build's declared_exports.txt (beside
# the DLL by default). Also checks that the DLL needs no DLL of the
# compiler's runtime beside it.
#   scripts/check-dll-exports.sh OBJDUMP DLL [LIST]
set -euo pipefail
set -f  # Microsoft's names hold '?': no file name expansion
objdump=$1
dll=$2
list=${3:-$(dirname "$dll")/declared_exports.txt}
case $(basename "$objdump") in
  i686-*) arch=i686 ;;
  x86_64-*) arch=x86_64 ;;
  *) echo "check-dll-exports.sh: no Windows target in $objdump" >&2; exit 2 ;;
esac

work=$(dirname "$dll")/header-imports
declared=$(wc -l <"$list")
required=""
for kind in gnu msvc; do
  names=$(bash "$(dirname "$0")/header-imports.sh" "$kind" "$arch" "$list" "$work")
  if [ "$(echo "$names" | wc -l)" != "$declared" ]; then
    echo "$dll: a $kind host imports $(echo "$names" | wc -l) names for $declared declared functions" >&2
    exit 1
  fi
  required+="$names"$'\n'
done
required=$(echo "$required" | grep . | sort -u)
# The name pointer table of the export directory.
exported=$("$objdump" -p "$dll" |
  awk '/\[Ordinal\/Name Pointer\] Table/ { t = 1; next } t && NF == 0 { t = 0 } t { print $NF }' | sort)
if [ "$exported" != "$required" ]; then
  echo "$dll: exports differ from what hosts import (< imported, > exported):" >&2
  diff <(echo "$required") <(echo "$exported") >&2 || true
  exit 1
fi

imports=$("$objdump" -p "$dll" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
for name in $imports; do
  case $name in
    kernel32.dll | msvcrt.dll | gdi32.dll | user32.dll | api-ms-win-crt-*) ;;
    *) echo "$dll: needs $name beside it" >&2; exit 1 ;;
  esac
done
echo "$dll: imports only" $imports
echo "$dll: exports the $declared declared functions under the $(echo "$exported" | wc -l)" \
  "names g++ (mingw-w64) and clang in Microsoft mode import"
