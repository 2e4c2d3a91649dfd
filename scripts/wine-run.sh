#!/usr/bin/env bash
# Runs a Windows program under Wine, quietly and without dialogs; the
# cross-compiling emulator of the Windows builds. A 64-bit program runs under
# 64-bit Wine. A 32-bit one runs under 32-bit Wine: natively where the kernel
# runs 32-bit x86 programs (scripts/wine32-native.sh), otherwise through
# qemu-i386 (version 10 or later; OWL_WINE32_QEMU=1 takes this path anywhere).
# WINEPREFIX defaults to a folder beside the program.
#   scripts/wine-run.sh PROGRAM [ARGUMENT]...
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$1")" && pwd)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
wine64=$(command -v wine64 || true)
[ -n "$wine64" ] || wine64=/usr/lib/wine/wine64
wine32=/usr/lib/wine/wine

# The machine field of the PE header: 014c is 32-bit x86.
pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
machine=$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')
if [ "$machine" != 014c ]; then
  exec "$wine64" "$@"
elif bash "$(dirname "$0")/wine32-native.sh"; then
  exec "$wine32" "$@"
fi

# qemu path. The 32-bit loader must not re-execute itself natively.
export WINELOADERNOEXEC=1
if [ ! -d "$WINEPREFIX" ]; then
  # 64-bit Wine makes the prefix; its 32-bit setup step (a 32-bit rundll32)
  # cannot start without kernel support, so it runs again under qemu.
  "$wine64" wineboot -i
  WINEBOOTSTRAPMODE=1 qemu-i386 "$wine32" 'C:\windows\syswow64\rundll32.exe' \
    setupapi,InstallHinfSection Wow64Install 128 '\\?\unix/usr/share/wine/wine.inf'
fi
exec qemu-i386 "$wine32" "$@"
