#!/usr/bin/env bash
# The timed launch, under Xvfb. For each run it measures
#  - the program itself: from starting build/bin/vestra to its main window mapped on the
#    X server (polled with xwininfo, so the figure includes a few ms of polling);
#  - the launch probe (the same program, tools/timing/launch_probe.cpp): from its start to
#    the main window exposed, then MIRAL chosen and calculated with the screen's defaults,
#    and the resident memory after that calculation.
# The limits: main window shown within 0.5 s; at most 100 MB resident after the calculation.
#
#   tools/timing/launch_timing.sh [BUILD_DIR] [RUNS]     (default: build, 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
runs="${2:-5}"
cmake --build "$build" --target vestra vestra-launch-probe vestra_catalogue -j2 >/dev/null
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
  bin="$0"; runs="$1"
  shown() {
    for id in $(xwininfo -root -tree | grep "\"Vestra - " | awk "{print \$1}"); do
      xwininfo -id "$id" | grep -q "IsViewable" && return 0
    done
    return 1
  }
  for run in $(seq "$runs"); do
    t0=$(date +%s%N)
    "$bin/vestra" >/dev/null 2>&1 &
    pid=$!
    until shown; do :; done
    t1=$(date +%s%N)
    kill "$pid"; wait "$pid" 2>/dev/null || true
    printf "run %s: vestra main window mapped after %.0f ms; probe: " "$run" "$(( (t1 - t0) / 1000 ))e-3"
    VESTRA_LAUNCH_NS=$(date +%s%N) "$bin/vestra-launch-probe" 2>/dev/null
  done' "$build/bin" "$runs"
