#!/bin/sh
# Frame pacing and CPU of the browser game beside the native one, measured
# in one run: the splash's frames timed by each game's own stamps (the page
# on a desktop, and on a phone's page at full speed and with its CPU slowed
# 4x and 6x), CPU on the title and in a game left untouched for SECONDS
# (default 10) each, where a frame of the page goes, and each engine
# (Chromium, Firefox, WebKit) beside a bare page.
#   bench/web/measure-web.sh [SECONDS]
# The native game is the measurement build (its frames logged), built in
# build-measure/ as bench/measure-pacing.sh does; the page is the web build
# that tools/kv test made in build/web-game/ (or $KV_WEB_STAGE_DIR), and for
# the profile the same game built with its functions' names in
# build-measure/web-names/. Run it on a quiet machine: the load average is
# printed too.
set -eu
cd "$(dirname "$0")/../.."
stage="${KV_WEB_STAGE_DIR:-$(pwd)/build/web-game/stage/krove-vestin}"
[ -f "$stage/index.html" ] || { echo "no web build in $stage (tools/kv test or tools/kv web makes it)" >&2; exit 1; }
cmake -S . -B build-measure -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_MEASURE_FRAMES=ON \
  -DKV_X_TIMER_SLACK_US= >/dev/null
cmake --build build-measure -j "$(nproc)" --target kv-web-bench krove-vestin >/dev/null
NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
export NODE_PATH
emcmake cmake -S . -B build-measure/web-names -DKV_ALLEGRO_PREFIX="$(pwd)/build/allegro-web" \
  -DCMAKE_BUILD_TYPE=Release -DKV_WEB_FUNCTION_NAMES=ON >/dev/null
cmake --build build-measure/web-names -j "$(nproc)" >/dev/null
KV_WEB_STAGE_DIR="$stage" KV_GAME_BINARY="$(pwd)/build-measure/src/krove-vestin" \
  KV_WEB_PROFILE_DIR="$(pwd)/build-measure/web-names/stage/krove-vestin" \
  build-measure/bench/web/kv-web-bench --seconds "${1:-10}"
