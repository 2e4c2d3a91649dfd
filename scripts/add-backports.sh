#!/usr/bin/env bash
# Adds this Debian release's backports suite to apt (as root), copied from
# the machine's own entry for the release (deb822 .sources or one-line
# .list) with only the suite changed, so the mirror stays the machine's.
# Nothing is installed from it unless asked for per package (pkg/SUITE).
set -euo pipefail
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
suite=$codename-backports
if apt-get indextargets --format '$(RELEASE)' 2>/dev/null | grep -qx "$suite"; then
  exit 0
elif [ -f "/etc/apt/sources.list.d/$suite.sources" ] || [ -f "/etc/apt/sources.list.d/$suite.list" ]; then
  apt-get update -qq
  exit 0
fi
for file in /etc/apt/sources.list.d/*.sources; do
  [ -f "$file" ] || continue
  entry=$(awk -v release="$codename" -v suite="$suite" '
    BEGIN { RS = ""; FS = "\n" }
    {
      hit = 0; out = ""
      for (i = 1; i <= NF; i++) {
        line = $i
        if (line ~ /^Suites:/) {
          n = split(substr(line, 8), words, /[ \t]+/)
          for (j = 1; j <= n; j++) if (words[j] == release) hit = 1
          line = "Suites: " suite
        }
        out = out line "\n"
      }
      if (hit) { printf "%s", out; exit }
    }' "$file")
  if [ -n "$entry" ]; then
    printf '%s\n' "$entry" >"/etc/apt/sources.list.d/$suite.sources"
    apt-get update -qq
    exit 0
  fi
done
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$file" ] || continue
  entry=$(awk -v release="$codename" -v suite="$suite" '
    $1 == "deb" { for (i = 2; i <= NF; i++) if ($i == release) { $i = suite; print; exit } }' "$file")
  if [ -n "$entry" ]; then
    printf '%s\n' "$entry" >"/etc/apt/sources.list.d/$suite.list"
    apt-get update -qq
    exit 0
  fi
done
echo "add-backports.sh: no apt entry for $codename to copy" >&2
exit 1
