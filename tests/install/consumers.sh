#!/usr/bin/env bash
# Installs the built library into a temporary prefix and builds two small
# programs against the installed copy: one through find_package, one in C
# through pkg-config and a plain compiler call. Then runs both.
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
