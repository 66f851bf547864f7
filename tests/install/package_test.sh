#!/usr/bin/env bash
# The Debian package: built by CPack from the build tree, with the runtime libraries
# declared, laid out as the install is, and runnable once unpacked.
#
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
packages=("$work"/vestra_*.deb)
[ -f "${packages[0]}" ] || fail "no package was made in $work"
deb=${packages[0]}

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6core6 libsqlite3-0 libstdc++6; do
  grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
[ "$(dpkg-deb -f "$deb" Package)" = vestra ] || fail "package name"

contents=$(dpkg-deb -c "$deb")
for entry in ./usr/lib/vestra/vestra ./usr/lib/vestra/Vestra.db ./usr/lib/vestra/Vestra.ini \
  ./usr/share/applications/vestra.desktop ./usr/share/icons/hicolor/scalable/apps/vestra.svg \
  "./usr/bin/vestra -> ../lib/vestra/vestra" \
  "./usr/bin/vestra-select -> ../lib/vestra/vestra-select"; do
  grep -qF " $entry" <<<"$contents" || fail "the package lacks $entry"
done

dpkg-deb -x "$deb" "$work/root"
"$work/root/usr/bin/vestra-select" --series MIRAL --speed 1 --units 0,0,0,0,0 | grep -q '^MIRAL ' ||
  fail "the unpacked vestra-select does not rate"
echo "package $(basename "$deb") checked"
