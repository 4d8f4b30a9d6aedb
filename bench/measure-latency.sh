#!/bin/sh
# Key-to-screen latency and CPU by thread of Krove Vestin for several timer
# slacks of Allegro's X thread (microseconds; 0 is the usual 50 us).
#   bench/measure-latency.sh [slack ...]   (default: 0 1000 2000 4000 9000)
# Rebuilds the measurement build in build-measure/ with each slack and runs
# kv-pacing --latency-only at 320x240; the last build is put back to the
# shipped slack. Run it on a quiet machine: the load average is printed.
set -eu
cd "$(dirname "$0")/.."
[ "$#" -gt 0 ] || set -- 0 1000 2000 4000 9000

build() {
  cmake -S . -B build-measure -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_MEASURE_FRAMES=ON \
    -DKV_X_TIMER_SLACK_US="$1" >/dev/null
  cmake --build build-measure -j "$(nproc)" --target kv-pacing krove-vestin >/dev/null
}

echo "machine: $(nproc) cores; $(uname -sr)"
for slack in "$@"; do
  build "$slack"
  echo "--- X thread slack $slack us; load before: $(cat /proc/loadavg)"
  build-measure/bench/pacing/kv-pacing --latency-only
  echo "load after: $(cat /proc/loadavg)"
done
build ""
