#!/usr/bin/env bash
# Repaints the program's pictures into resources/pictures (flags, toolbar buttons, logo,
# program icon) with the painter in paint_pictures.cpp. Run after changing a drawing and
# commit the PNG files; the build only embeds them.
#
#   tools/pictures/make_pictures.sh [BUILD_DIR]     (default: build)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --target vestra_paint_pictures -j2
rm -rf "$root/resources/pictures"
"$build/src/app/ui/vestra_paint_pictures" "$root/resources/pictures"
echo "painted $(find "$root/resources/pictures" -name '*.png' | wc -l) pictures into resources/pictures"
