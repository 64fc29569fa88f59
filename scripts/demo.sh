#!/usr/bin/env bash
# Builds the demo host application and runs it. With no arguments it plays
# the built-in plan's script offscreen and leaves a picture per step, the
# event log and index.html in demo-out/ (the run is made at scale 1 and
# again at 2, in demo-out/scale-2x/, shown side by side). Arguments go to
# the demo instead:
#   scripts/demo.sh --window              the window, for an operator (needs a display)
#   scripts/demo.sh --plan my.json --out d another plan, scripted
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target tgcl-demo
if [ $# -eq 0 ]; then
  set -- --script --out demo-out --scale 2
fi
exec build/apps/tgcl-demo "$@"
