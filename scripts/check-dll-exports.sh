#!/usr/bin/env bash
# Checks that a Windows build of the library exports exactly the functions
# the public header declares: extern "C" ones under their plain names (no
# underscore, no @n), the C++-named ones under their C++ names.
#   scripts/check-dll-exports.sh OBJDUMP DLL [HEADER]
set -euo pipefail
objdump=$1
dll=$2
header=${3:-$(dirname "$0")/../include/owlgraphic.h}
cxxfilt=${objdump%objdump}c++filt

# "C name" or "C++ name" per declaration.
declared=$(perl -0777 -ne \
  'while (/(OWL_EXTERN_C\s+)?OWL_API\s+[\w\s*]+?OWL_CALL\s+(\w+)\s*\(/g) { print(($1 ? "C" : "C++"), " $2\n") }' \
  "$header" | sort)
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
  echo "$dll: exports differ from $header (< declared, > exported):" >&2
  diff <(echo "$declared") <(echo "$actual") >&2 || true
  exit 1
fi
echo "$dll: exports exactly the $(echo "$declared" | wc -l) declared functions"
