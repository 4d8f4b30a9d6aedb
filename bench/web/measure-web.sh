#!/bin/sh
# Frame pacing and CPU of the browser game beside the native one, measured
# in one run: each untouched for SECONDS (default 10) on the title and in a
# game, the native game in a private Xvfb, the page in headless Chromium.
#   bench/web/measure-web.sh [SECONDS]
# The native game is the measurement build (its frames logged), built in
# build-measure/ as bench/measure-pacing.sh does; the page is the web build
# that tools/kv test made in build/web-game/ (or $KV_WEB_STAGE_DIR).
# Run it on a quiet machine: the load average is printed too.
set -eu
cd "$(dirname "$0")/../.."
stage="${KV_WEB_STAGE_DIR:-$(pwd)/build/web-game/stage/krove-vestin}"
[ -f "$stage/index.html" ] || { echo "no web build in $stage (tools/kv test or tools/kv web makes it)" >&2; exit 1; }
cmake -S . -B build-measure -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_MEASURE_FRAMES=ON \
  -DKV_X_TIMER_SLACK_US= >/dev/null
cmake --build build-measure -j "$(nproc)" --target kv-web-bench krove-vestin >/dev/null
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
KV_WEB_STAGE_DIR="$stage" KV_GAME_BINARY="$(pwd)/build-measure/src/krove-vestin" \
  build-measure/bench/web/kv-web-bench --seconds "${1:-10}"
