#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots under Xvfb (with the openbox window manager
# when it is installed, for the window frames).
#
#   tools/screenshots/take_screenshots.sh [BUILD_DIR] [OUTPUT_FOLDER] [SCALE]
#
# SCALE 2 takes them at 200 % on a screen twice as large.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
out="${2:-$root/docs/screenshots}"
scale="${3:-1}"
cmake --build "$build" --target vestra-screenshots vestra_catalogue -j2 >/dev/null
size="$((1600 * scale))x$((1000 * scale))x24"
export QT_SCALE_FACTOR="$scale"
xvfb-run -a -s "-screen 0 $size -dpi 96" bash -c '
  if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & wm=$!; sleep 1; fi
  "$0" "$1" "$2"; rc=$?
  [ -n "${wm:-}" ] && kill "$wm"
  exit $rc' "$build/src/app/ui/vestra-screenshots" "$build/bin" "$out"
