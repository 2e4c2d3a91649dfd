#!/usr/bin/env bash
# Checks that a Windows build of the library exports exactly the functions
# the public header declares for it: extern "C" ones under their plain names
# (no underscore, no @n), the C++-named ones under their C++ names. LIST is
# the build's declared_exports.txt (beside the DLL by default).
#   scripts/check-dll-exports.sh OBJDUMP DLL [LIST]
set -euo pipefail
objdump=$1
dll=$2
list=${3:-$(dirname "$dll")/declared_exports.txt}
cxxfilt=${objdump%objdump}c++filt

declared=$(sort "$list")
# The name pointer table of the export directory.
exported=$("$objdump" -p "$dll" |
  awk '/\[Ordinal\/Name Pointer\] Table/ { t = 1; next } t && NF == 0 { t = 0 } t { print $NF }')

actual=$(
  for name in $exported; do
    case $name in
      _Z*) base=$("$cxxfilt" "$name"); echo "C++ ${base%%(*}" ;;
      *) echo "C $name" ;;
    esac
  done | sort)

if [ "$actual" != "$declared" ]; then
  echo "$dll: exports differ from $list (< declared, > exported):" >&2
  diff <(echo "$declared") <(echo "$actual") >&2 || true
  exit 1
fi
echo "$dll: exports exactly the $(echo "$declared" | wc -l) declared functions"
