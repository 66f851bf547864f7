#!/usr/bin/env bash
# The installed program, from a temporary prefix: the layout and the links in bin/, then
# the programs run by an ordinary user from a program folder he cannot write, as after a
# system-wide install - vestra-select rates MIRAL on the installed catalogue with the
# settings of the user's own copy, vestra starts (offscreen) and stays up - and finally the
# uninstall leaves nothing of it behind.
#
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$work/prefix
program=$prefix/lib/vestra
programs=(vestra vestra-select vestra-rate vestra-props)

# Component "Unspecified" holds every rule; its own list of installed files leaves the
# list of a real install from this build tree alone.
cmake --install "$build" --prefix "$prefix" --component Unspecified >/dev/null
cp "$build/install_manifest_Unspecified.txt" "$work/manifest"

for file in "${programs[@]}" Vestra.db Vestra.ini; do
  [ -f "$program/$file" ] || fail "$program/$file is not installed"
done
for file in share/applications/vestra.desktop share/icons/hicolor/scalable/apps/vestra.svg; do
  [ -f "$prefix/$file" ] || fail "$prefix/$file is not installed"
done
grep -qx 'Exec=vestra' "$prefix/share/applications/vestra.desktop" || fail "menu entry: no Exec=vestra"
grep -qx 'Icon=vestra' "$prefix/share/applications/vestra.desktop" || fail "menu entry: no Icon=vestra"
for name in "${programs[@]}"; do
  [ -L "$prefix/bin/$name" ] || fail "$prefix/bin/$name is not a link"
  [ "$(readlink -f "$prefix/bin/$name")" = "$(readlink -f "$program/$name")" ] ||
    fail "$prefix/bin/$name does not lead to $program/$name"
done

# The program folder read-only, and an ordinary user: root could write it anyway.
chmod -R a-w "$program"
chmod 755 "$work"
home=$work/home
mkdir -p "$home/.config/Vestra" "$home/run"
printf '[Common]\nMulti=1\n' >"$home/.config/Vestra/Vestra.ini"  # English, for this user only
chmod 700 "$home/run"
user=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R 65534:65534 "$home"
  user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
as_user() {
  (cd "$home" && env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run" \
    "${user[@]}" "$@")
}
as_user test ! -w "$program" || fail "the user can write $program; the test needs him not to"
before=$(ls -la "$program")

# Rated as in the build tree, with the user's language.
installed=$(as_user "$prefix/bin/vestra-select" --series MIRAL --speed all --units 0,0,0,0,0) ||
  fail "the installed vestra-select failed (exit $?)"
grep -q $'^Model\t' <<<"$installed" || fail "the user's settings copy was not read (no English headings)"
[ "$(grep -c '^MIRAL ' <<<"$installed")" -gt 0 ] || fail "no MIRAL rows: $installed"
expected=$("$build/bin/vestra-select" --series MIRAL --speed all --units 0,0,0,0,0 --lang 1)
[ "$installed" = "$expected" ] || fail "the installed program rates differently from the build tree"
as_user "$prefix/bin/vestra-props" water 10 | grep -q '"density"' || fail "vestra-props through its link"

# The program started, offscreen: still up when timeout stops it, with no start-up failure.
# A copy without its catalogue shows that such a failure would be seen.
started() {
  local status=0
  as_user env QT_QPA_PLATFORM=offscreen timeout 3 "$1" >/dev/null 2>"$2" || status=$?
  echo "$status"
}
status=$(started "$prefix/bin/vestra" "$work/vestra.err")
[ "$status" -eq 124 ] || fail "vestra ended by itself (exit $status): $(cat "$work/vestra.err")"
if grep '^vestra: ' "$work/vestra.err"; then fail "vestra did not start"; fi
mkdir "$work/bare"
cp "$program/vestra" "$work/bare/"
started "$work/bare/vestra" "$work/bare.err" >/dev/null
grep -q '^vestra: .*Vestra.db' "$work/bare.err" || fail "a start without catalogue went unreported"

[ "$(ls -la "$program")" = "$before" ] || fail "something was written into $program"

# The uninstall, on this install's own list.
chmod -R u+w "$program"
while read -r file; do
  case "$file" in "$prefix"/*) ;; *) fail "the install list names $file, outside $prefix" ;; esac
done <"$work/manifest"
cmake -DMANIFEST="$work/manifest" -DPROGRAM_FOLDER=lib/vestra \
  -P "$source/cmake/VestraUninstall.cmake" >/dev/null
left=$(find "$prefix" ! -type d)
[ -z "$left" ] || fail "left after the uninstall: $left"
[ ! -e "$program" ] || fail "the program folder $program was left"
echo "installed, run read-only and uninstalled: $prefix"
