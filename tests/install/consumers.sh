#!/usr/bin/env bash
# The library as other projects take it, one way of linking after another;
# every consumer program is built, run, and prints the version of the
# library it runs with, which must be the package's (pkg-config's, CMake's).
#
#   shared      the build under test, installed into a temporary prefix:
#               find_package with a version (CMake, C++), pkg-config with an
#               rpath (C), the README's tour as the README builds it, and
#               find_package from the build folder itself
#   static      the sources built again with BUILD_SHARED_LIBS=OFF and
#               installed: find_package, and pkg-config --static from C
#   subproject  a project that adds the source tree with add_subdirectory
#               and gets the library alone
# In the shared and static styles, the PNG companion too when it was built:
# find_package(owlgraphic COMPONENTS png) and pkg-config owlgraphic_png.
#
#   consumers.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() { echo "FAILED: $*" >&2; exit 1; }
# The compilers (and launcher) of the build under test, for every build here.
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt"; }
tools=(-DCMAKE_C_COMPILER="$(cache CMAKE_C_COMPILER)" -DCMAKE_CXX_COMPILER="$(cache CMAKE_CXX_COMPILER)"
       -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)")
for launcher in C CXX; do
  value=$(cache CMAKE_${launcher}_COMPILER_LAUNCHER)
  [ -z "$value" ] || tools+=(-DCMAKE_${launcher}_COMPILER_LAUNCHER="$value")
done
cc=$(cache CMAKE_C_COMPILER)
cflags=(-std=c99 -Wall -Wextra -pedantic -Werror)

# configure SOURCE FOLDER [ARGUMENT]...: a quiet configure and build.
configure_and_build() {
  local src=$1 dir=$2
  shift 2
  cmake -S "$src" -B "$dir" "${tools[@]}" "$@" >"$dir.log" 2>&1 || { cat "$dir.log"; fail "configuring $dir"; }
  cmake --build "$dir" -j"${JOBS:-2}" >>"$dir.log" 2>&1 || { cat "$dir.log"; fail "building $dir"; }
}
# expect TEXT LABEL PROGRAM [ARGUMENT]...: runs a consumer, which must
# print TEXT.
expect() {
  local text=$1 label=$2 out
  shift 2
  out=$("$@") || fail "$label: $out"
  echo "$label: $out"
  [ "$out" = "$text" ] || fail "$label printed '$out', not '$text'"
}
# run LABEL PROGRAM [ARGUMENT]...: a consumer that prints the version of the
# library it runs with, which must be the package's.
run() { expect "ok, owlgraphic $version" "$@"; }
# png_consumers STYLE PREFIX [--static]: the PNG companion's round trip in
# C, through its CMake component and its pkg-config file, when installed.
png_consumers() {
  local style=$1 prefix=$2 static=${3:-}
  if [ ! -f "$PKG_CONFIG_PATH/owlgraphic_png.pc" ]; then
    echo "$style, PNG companion: not built"
    return
  fi
  configure_and_build "$here/png_consumer" "$work/$style-png" -DCMAKE_PREFIX_PATH="$prefix"
  expect "png round trip exact" "$style, find_package(owlgraphic COMPONENTS png)" \
    "$work/$style-png/png_consumer" "$work/$style-cmake.png"
  "$cc" "${cflags[@]}" "$here/png_consumer/main.c" -o "$style-png-pc" \
    $(pkg-config $static --cflags --libs owlgraphic_png) "-Wl,-rpath,$(pkg-config --variable=libdir owlgraphic_png)"
  expect "png round trip exact" "$style, pkg-config ${static:+$static }owlgraphic_png (C)" "./$style-png-pc" "$work/$style-pc.png"
}
# not_linked_to_shared PROGRAM: the program holds the library itself.
not_linked_to_shared() {
  ! readelf -d "$1" | grep -q 'NEEDED.*owlgraphic' || fail "$1 needs the shared library"
}

# ---- shared ------------------------------------------------------------------
cmake --install "$build_dir" --prefix "$work/shared" >/dev/null
export PKG_CONFIG_PATH=$(dirname "$(find "$work/shared" -name owlgraphic.pc)")
version=$(pkg-config --modversion owlgraphic)
want=${version%.*}  # major.minor

configure_and_build "$here/cmake_consumer" "$work/shared-cmake" -DCMAKE_PREFIX_PATH="$work/shared" -DOWL_WANT="$want"
run "shared, find_package($want)" "$work/shared-cmake/cmake_consumer"
too_new=$((${version%%.*} + 1)).0
if cmake -S "$here/cmake_consumer" -B "$work/too-new" -DCMAKE_PREFIX_PATH="$work/shared" \
  -DOWL_WANT="$too_new" >too-new.log 2>&1; then
  fail "find_package($too_new) accepted owlgraphic $version"
fi
grep -q "compatible with requested version \"$too_new\"" too-new.log || { cat too-new.log; fail "find_package($too_new)"; }
echo "shared, find_package($too_new): refused"
configure_and_build "$here/cmake_consumer" "$work/build-tree" -Dowlgraphic_DIR="$build_dir" -DOWL_WANT="$want"
run "shared, find_package from the build folder" "$work/build-tree/cmake_consumer"

rpath=-Wl,-rpath,$(pkg-config --variable=libdir owlgraphic)
"$cc" "${cflags[@]}" "$here/c_consumer/main.c" -o c_shared $(pkg-config --cflags --libs owlgraphic) "$rpath"
run "shared, pkg-config (C)" ./c_shared

# The README's first C sample, built by the README's command, must print
# what the README says.
readme=$source_dir/README.md
awk '/^```c$/{f=1;next} /^```$/{if(f)exit} f' "$readme" >tour.c
command=$(grep -m1 '^cc .*tour\.c' "$readme") || fail "no tour command in README.md"
eval "${command%%#*} -Wall -Wextra -pedantic -Werror"
expected=$(sed -n 's/^\.\/tour *# *//p' "$readme")
actual=$(./tour)
echo "shared, README tour: $actual"
[ "$actual" = "$expected" ] || fail "the README tour printed '$actual', the README says '$expected'"
png_consumers shared "$work/shared"

# ---- static ------------------------------------------------------------------
configure_and_build "$source_dir" "$work/static-build" -DBUILD_SHARED_LIBS=OFF \
  -DOWL_BUILD_TESTS=OFF -DOWL_BUILD_BENCH=OFF -DOWL_BUILD_EXAMPLES=OFF
cmake --install "$work/static-build" --prefix "$work/static" >/dev/null
export PKG_CONFIG_PATH=$(dirname "$(find "$work/static" -name owlgraphic.pc)")
[ "$(pkg-config --modversion owlgraphic)" = "$version" ] || fail "static package version"

configure_and_build "$here/cmake_consumer" "$work/static-cmake" -DCMAKE_PREFIX_PATH="$work/static" -DOWL_WANT="$want"
not_linked_to_shared "$work/static-cmake/cmake_consumer"
run "static, find_package($want)" "$work/static-cmake/cmake_consumer"

"$cc" "${cflags[@]}" "$here/c_consumer/main.c" -o c_static $(pkg-config --static --cflags --libs owlgraphic)
not_linked_to_shared c_static
run "static, pkg-config --static (C)" ./c_static
png_consumers static "$work/static" --static

# ---- subproject --------------------------------------------------------------
configure_and_build "$here/subproject" "$work/subproject" -DOWL_SOURCE_DIR="$source_dir"
grep -q 'owlgraphic tests: skipped, owlgraphic is not the top-level project' "$work/subproject.log" ||
  fail "a subproject's build looks for the tests"
for part in owl_tests owl_bench owl-demo; do
  [ -z "$(find "$work/subproject" -name "$part" -type f)" ] || fail "a subproject's build made $part"
done
not_linked_to_shared "$work/subproject/subproject_consumer"
run "subproject, add_subdirectory" "$work/subproject/subproject_consumer"
