#!/usr/bin/env bash
# Installs the built library into a temporary prefix and builds two small
# programs against the installed copy: one through find_package, one in C
# through pkg-config and a plain compiler call, and the README's tour the
# same way. Then runs them all.
set -euo pipefail
build_dir=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
libdir=$(find "$work/prefix" -name 'libowlgraphic.so*' -printf '%h\n' | head -n 1)

cmake -S "$source_dir/cmake_consumer" -B "$work/cmake_consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
cmake --build "$work/cmake_consumer" >/dev/null
LD_LIBRARY_PATH="$libdir" "$work/cmake_consumer/cmake_consumer"

export PKG_CONFIG_PATH="$libdir/pkgconfig"
cc -std=c99 -Wall -Wextra -pedantic -Werror "$source_dir/c_consumer/main.c" -o "$work/c_consumer" \
  $(pkg-config --cflags --libs owlgraphic)
LD_LIBRARY_PATH="$libdir" "$work/c_consumer"

# The README's first C sample must build as shown and print what it says.
readme=$source_dir/../../README.md
awk '/^```c$/{f=1;next} /^```$/{if(f)exit} f' "$readme" > "$work/tour.c"
expected=$(sed -n 's/^\.\/tour *# *//p' "$readme")
cc -std=c99 -Wall -Wextra -pedantic -Werror "$work/tour.c" -o "$work/tour" $(pkg-config --cflags --libs owlgraphic)
actual=$(LD_LIBRARY_PATH="$libdir" "$work/tour")
echo "$actual"
[ "$actual" = "$expected" ] || { echo "README tour printed '$actual', the README says '$expected'"; exit 1; }

# ---- The PNG companion, when it was built: the same C program through
# find_package(owlgraphic COMPONENTS png) and through pkg-config.
if [ -f "$libdir/pkgconfig/owlgraphic_png.pc" ]; then
  cmake -S "$source_dir/png_consumer" -B "$work/png_consumer" -DCMAKE_PREFIX_PATH="$work/prefix" >/dev/null
  cmake --build "$work/png_consumer" >/dev/null
  LD_LIBRARY_PATH="$libdir" "$work/png_consumer/png_consumer" "$work/from_cmake.png"
  cc -std=c99 -Wall -Wextra -pedantic -Werror "$source_dir/png_consumer/main.c" -o "$work/png_consumer_pc" \
    $(pkg-config --cflags --libs owlgraphic_png)
  LD_LIBRARY_PATH="$libdir" "$work/png_consumer_pc" "$work/from_pkg_config.png"
fi
