#!/usr/bin/env bash
# Checks that a Windows build of the library exports exactly the functions
# the public header declares for it: extern "C" ones under their plain names
# (no underscore, no @n), the C++-named ones under GCC's decorated names and
# under Microsoft's, the latter being whatever clang in Microsoft mode
# imports for the header (scripts/msvc-imports.sh). LIST is the build's
# declared_exports.txt (beside the DLL by default). Also checks that the DLL
# needs no DLL of the compiler's runtime beside it.
#   scripts/check-dll-exports.sh OBJDUMP DLL [LIST]
set -euo pipefail
set -f  # Microsoft's names hold '?': no file name expansion
objdump=$1
dll=$2
list=${3:-$(dirname "$dll")/declared_exports.txt}
cxxfilt=${objdump%objdump}c++filt
case $(basename "$objdump") in
  i686-*) arch=i686 ;;
  x86_64-*) arch=x86_64 ;;
  *) echo "check-dll-exports.sh: no Windows target in $objdump" >&2; exit 2 ;;
esac

declared=$(sort "$list")
# The name pointer table of the export directory.
exported=$("$objdump" -p "$dll" |
  awk '/\[Ordinal\/Name Pointer\] Table/ { t = 1; next } t && NF == 0 { t = 0 } t { print $NF }')

# Every name a Microsoft-mode host imports, C names included, must be there.
msvc=$(bash "$(dirname "$0")/msvc-imports.sh" "$arch" "$list" "$(dirname "$dll")/msvc-imports")
missing=$(comm -23 <(echo "$msvc") <(echo "$exported" | tr ' ' '\n' | sort))
if [ -n "$missing" ] || [ "$(echo "$msvc" | wc -l)" != "$(wc -l <"$list")" ]; then
  echo "$dll: does not export what clang in Microsoft mode imports:" $missing >&2
  exit 1
fi
msvc_decorated=$(echo "$msvc" | grep '^?' || true)

actual=$(
  for name in $exported; do
    grep -qxF -- "$name" <<<"$msvc_decorated" && continue
    case $name in
      _Z*) base=$("$cxxfilt" --no-strip-underscore "$name"); echo "C++ ${base%%(*}" ;;
      *) echo "C $name" ;;
    esac
  done | sort)

if [ "$actual" != "$declared" ]; then
  echo "$dll: exports differ from $list (< declared, > exported):" >&2
  diff <(echo "$declared") <(echo "$actual") >&2 || true
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
echo "$dll: exports exactly the $(echo "$declared" | wc -l) declared functions," \
  "$(echo "$msvc_decorated" | grep -c .) of them also under Microsoft's names"
