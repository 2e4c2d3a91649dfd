#!/usr/bin/env bash
# Checks the layout rules of the library's folders (README, "Layout"):
# every include points to the folder itself or one it may include, and no
# exported function is called from inside the library.
# Usage: scripts/check-layout.sh [source root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

declare -A may=(
  [core]="core"
  [rows]="core rows"
  [resample]="core rows resample"
  [draw]="core rows resample draw"
  [platform]="core rows platform"
  [effects]="core rows resample draw effects"
  [png]="png"
)
fail=0
for dir in "${!may[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    target=$(sed -E 's/.*#include "([a-z0-9_]+)\/.*/\1/' <<<"$hit")
    if [[ " ${may[$dir]} " != *" $target "* ]]; then
      echo "$file includes $target/, which $dir/ may not include"
      fail=1
    fi
  done < <(grep -HE '^#include "[a-z0-9_]+/' "$dir"/*.h "$dir"/*.cpp 2>/dev/null || true)
done

exports=$(grep -oE 'OWL_CALL [A-Za-z0-9_]+\(' include/owlgraphic.h | sed -E 's/OWL_CALL |\(//g' | sort -u)
for name in $exports; do
  if grep -nE "\b$name\s*\(" core/* rows/* resample/* draw/* effects/* platform/* | grep -v 'OWL_CALL'; then
    echo "^ $name is exported and must not be called from inside the library"
    fail=1
  fi
done
exit $fail
