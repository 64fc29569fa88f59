#!/usr/bin/env bash
# Builds and runs the demo host application. Arguments go to the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tgcl-demo
exec build/apps/tgcl-demo "$@"
