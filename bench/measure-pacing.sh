#!/bin/sh
# Frame pacing, start-up time and CPU use of Krove Vestin, measured.
#   bench/measure-pacing.sh [runs]
# Builds the measurement build (frames logged to "KV frames.log") in
# build-measure/, apart from the shipped one in build/, then plays the fixed
# kv-pacing session in a private Xvfb, at 320x240, at 640x480 and full
# screen on a 1920x1080 monitor (with openbox), `runs` times each
# (default 1), so the three are measured side by side. Run it on a quiet machine: the load average is
# printed with every run.
set -eu
cd "$(dirname "$0")/.."
runs="${1:-1}"

cmake -S . -B build-measure -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_MEASURE_FRAMES=ON \
  -DKV_X_TIMER_SLACK_US= >/dev/null  # the shipped slack, whatever was measured last
cmake --build build-measure -j "$(nproc)" --target kv-pacing krove-vestin >/dev/null

echo "machine: $(nproc) cores; $(uname -sr)"
i=1
while [ "$i" -le "$runs" ]; do
  echo "--- run $i, 320x240"
  build-measure/bench/pacing/kv-pacing
  echo "--- run $i, 640x480"
  build-measure/bench/pacing/kv-pacing --large
  echo "--- run $i, full screen 1920x1080"
  build-measure/bench/pacing/kv-pacing --fullscreen
  i=$((i + 1))
done
