#!/usr/bin/env bash
# Runs a 64-bit Windows program under Wine, quietly and without dialogs; the
# cross-compiling emulator of the 64-bit Windows build.
# WINEPREFIX defaults to a folder beside the program.
set -euo pipefail
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
export WINEPREFIX=${WINEPREFIX:-$(cd "$(dirname "$1")" && pwd)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer prompts while the prefix is made.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec "$wine" "$@"
