#!/usr/bin/env bash
# Builds the library and the demo only (no tests, no benchmarks), then
# renders the demo scene to build/owl-demo.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DOWL_BUILD_EXAMPLES=ON
cmake --build build -j"${JOBS:-2}" --target owl-demo
build/examples/owl-demo build/owl-demo.png
echo "demo picture: build/owl-demo.png (the scene is described in README.md, \"The demo\")"
