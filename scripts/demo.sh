#!/usr/bin/env bash
# Builds the library and the demo, then renders the demo scene to a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"${JOBS:-2}"
if [ -x build/examples/owl-demo ]; then
  build/examples/owl-demo build/owl-demo.png
  echo "demo picture: build/owl-demo.png"
else
  echo "library built: build/libowlgraphic.so; the demo needs libpng (scripts/setup.sh installs it)"
fi
