#!/usr/bin/env bash
# Builds tests/msvc_host/host.cpp as Microsoft's tools build a host: clang in
# Microsoft mode, lld-link, import libraries made by llvm-dlltool (the DLL's
# from the owlgraphic.def the build writes), its own entry point and no C
# runtime. Checks that it imports every name a Microsoft-mode compile of the
# header imports (scripts/header-imports.sh), so a new export it does not call
# fails here, then runs it under Wine beside the DLL.
#   scripts/check-msvc-host.sh BUILD_DIR    (a mingw-w64 build folder)
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
work=$build/msvc-host
mkdir -p "$work"
# The machine field of the DLL's PE header: 014c is 32-bit x86.
pe=$(od -An -tu4 -j60 -N4 "$build/owlgraphic.dll" | tr -d ' ')
if [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$build/owlgraphic.dll" | tr -d ' ')" = 014c ]; then
  arch=i686 machine=i386 exit_process=ExitProcess@4
else
  arch=x86_64 machine=i386:x86-64 exit_process=ExitProcess
fi

llvm-dlltool -m "$machine" -D owlgraphic.dll -d "$build/owlgraphic.def" -l "$work/owlgraphic.lib"
printf 'LIBRARY kernel32.dll\nEXPORTS\n  %s\n' "$exit_process" >"$work/kernel32.def"
llvm-dlltool -m "$machine" -k -D kernel32.dll -d "$work/kernel32.def" -l "$work/kernel32.lib"
clang++ --target="$arch-pc-windows-msvc" -std=c++17 -O2 -ffreestanding -fno-exceptions -fno-rtti \
  -Wall -Werror -I "$root/tests/msvc_host/include" -I "$root/include" \
  -c "$root/tests/msvc_host/host.cpp" -o "$work/host.obj"
lld-link /nologo /entry:HostMain /subsystem:console /nodefaultlib /out:"$work/host.exe" \
  "$work/host.obj" "$work/owlgraphic.lib" "$work/kernel32.lib"

# The host's imports, per DLL, against what the header makes a host import.
imports=$(llvm-objdump -p "$work/host.exe" | awk '
  /DLL Name:/ { dll = tolower($3); next }
  dll != "" && NF >= 2 && $1 ~ /^[0-9]+$/ { print dll, $2 }')
expected=$(bash "$root/scripts/header-imports.sh" msvc "$arch" "$build/declared_exports.txt" "$work")
if [ "$(echo "$imports" | awk '$1 != "owlgraphic.dll" { print $2 }')" != ExitProcess ] ||
   [ "$(echo "$imports" | awk '$1 == "owlgraphic.dll" { print $2 }' | sort)" != "$expected" ]; then
  echo "check-msvc-host.sh: host.exe imports differ from every declared function and ExitProcess:" >&2
  diff <( (echo "$expected"; echo ExitProcess) | sort) <(echo "$imports" | awk '{ print $2 }' | sort) >&2 || true
  exit 1
fi

cp "$build/owlgraphic.dll" "$work/"
status=0
WINEPREFIX=$build/wineprefix bash "$root/scripts/wine-run.sh" "$work/host.exe" || status=$?
if [ "$status" != 0 ]; then
  echo "check-msvc-host.sh: the $arch host failed at tests/msvc_host/host.cpp line $status" >&2
  exit 1
fi
echo "$arch host built by clang in Microsoft mode called all $(echo "$expected" | wc -l) functions and passed"
