#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a user gets there:
# the programs, the simulator, the manual with its pictures, the menu entry
# and its icon, and that the installed application finds its own manual.
set -euo pipefail
build="$1"
prefix="$(mktemp -d "${TMPDIR:-/tmp}/vantrel-install.XXXXXX")"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "check_install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/vantrel-manager bin/vantrel-cli bin/vantrel-receiver-sim; do
  [ -x "$prefix/$f" ] || fail "$f is missing or not executable"
done
for f in share/vantrel-manager/manual/index.html share/vantrel-manager/manual/ru.html \
         share/applications/vantrel-manager.desktop \
         share/icons/hicolor/scalable/apps/vantrel-manager.svg \
         share/vantrel-manager/receiver-sim/receiver_sim.py \
         share/vantrel-manager/receiver-sim/sample/channel.xml \
         share/man/man1/vantrel-manager.1 share/man/man1/vantrel-cli.1 share/man/man1/vantrel-receiver-sim.1; do
  [ -s "$prefix/$f" ] || fail "$f is missing or empty"
done

# Every picture the manual shows is installed beside it.
for page in index.html ru.html; do
  for img in $(grep -o 'src="[^"]*"' "$prefix/share/vantrel-manager/manual/$page" | sed 's/^src="//; s/"$//'); do
    [ -s "$prefix/share/vantrel-manager/manual/$img" ] || fail "$page shows $img, which is not installed"
  done
done

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/vantrel-manager.desktop" || fail "the desktop entry is not valid"
fi
grep -qx 'Exec=vantrel-manager' "$prefix/share/applications/vantrel-manager.desktop" || fail "Exec line"
grep -qx 'Icon=vantrel-manager' "$prefix/share/applications/vantrel-manager.desktop" || fail "Icon line"

# The installed application, moved away from the build, names its own manual.
help="$("$prefix/bin/vantrel-manager" --help)"
manual="$(printf '%s\n' "$help" | sed -n 's/^Manual: //p')"
[ "$manual" = "$prefix/share/vantrel-manager/manual/index.html" ] || fail "the manual is looked for at '$manual'"
"$prefix/bin/vantrel-manager" --version | grep -q '^Vantrel Manager V' || fail "--version"
"$prefix/bin/vantrel-receiver-sim" --help >/dev/null || fail "the installed simulator does not start"
"$prefix/bin/vantrel-cli" channels info "$prefix/share/vantrel-manager/receiver-sim/sample/channel.xml" >/dev/null \
  || fail "the installed vantrel-cli cannot read the sample list"
echo "check_install: all present in $prefix"
