#!/usr/bin/env bash
# Installs a build into a scratch staging root and checks what a desktop finds there.
set -euo pipefail
build=$1
version=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=/usr/local
DESTDIR=$stage cmake --install "$build" --prefix "$prefix" > /dev/null
root=$stage$prefix

fail() { echo "install layout: $*" >&2; exit 1; }
[ -x "$root/lib/mirthlens/mirthlens" ] || fail "no program in lib/mirthlens"
[ -f "$root/lib/mirthlens/readme.html" ] || fail "no guide beside the program"
[ -L "$root/bin/mirthlens" ] || fail "bin/mirthlens is not a link"
[ "$(readlink "$root/bin/mirthlens")" = ../lib/mirthlens/mirthlens ] || fail "bin/mirthlens links elsewhere"
[ "$(readlink -f "$root/bin/mirthlens")" = "$(readlink -f "$root/lib/mirthlens/mirthlens")" ] || fail "dangling link"
[ -x "$root/bin/mirthlens-tool" ] || fail "no mirthlens-tool"
"$root/bin/mirthlens-tool" --help > /dev/null || fail "mirthlens-tool does not run"
# Both programs answer --help and --version as desktop programs do, the window's without
# needing a display.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
[ "$("${nodisplay[@]}" "$root/bin/mirthlens" --version)" = "mirthlens $version" ] || fail "mirthlens --version"
[ "$("$root/bin/mirthlens-tool" --version)" = "mirthlens-tool $version" ] || fail "mirthlens-tool --version"
"${nodisplay[@]}" "$root/bin/mirthlens" --help | grep -q '^Usage: mirthlens \[PICTURE\]' || fail "mirthlens --help"
desktop=$root/share/applications/mirthlens.desktop
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx 'MimeType=image/bmp;image/jpeg;image/png;image/webp;image/gif;image/heic;image/heif;image/avif;' "$desktop" \
  || fail "desktop entry lacks the picture types"
grep -qx 'Exec=mirthlens %f' "$desktop" || fail "desktop entry does not pass the file"
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
for size in 16 32 48 256; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/mirthlens.png
  [ -s "$icon" ] || fail "no ${size}px icon"
done
[ -f "$root/share/man/man1/mirthlens-tool.1" ] || fail "no manual page"
grep -q '^License: GPL-3+' "$root/share/doc/mirthlens/copyright" || fail "no copyright file with the licence"
