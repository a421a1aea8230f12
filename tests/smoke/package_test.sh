#!/bin/sh
# Builds the Debian package of this build, checks what it holds and needs, unpacks it and
# starts the program the way its menu entry does (the launcher), in an X server.
#   package_test.sh BUILD_FOLDER
set -eu
build=$1
for tool in cpack dpkg-deb Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "package: $tool is missing (scripts/bootstrap installs it)"; exit 1; }
done
. "$(dirname "$0")/x_session.sh"

work=$(mktemp -d)
launcher_pid=
cleanup() {
    [ -n "$launcher_pid" ] && kill "$launcher_pid" 2>/dev/null || true
    pkill -f "$work/root/usr/lib/brantmoor-turnwise/pivora.bin" 2>/dev/null || true
    stop_x_server
    rm -rf "$work"
}
trap cleanup EXIT

(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/package/*.deb)

# Every package it depends on is one Debian has; the faces and Qt's GUI are among them.
depends=$(dpkg-deb -f "$package" Depends)
for needed in fonts-ipafont-gothic fonts-liberation2 libqt6gui6 libqt6widgets6 libturbojpeg0; do
    echo "$depends" | grep -q "$needed" || { echo "package: Depends lacks $needed: $depends"; exit 1; }
done
for name in $(echo "$depends" | tr ',' '\n' | sed 's/(.*//; s/|.*//; s/ //g'); do
    apt-cache show "$name" >/dev/null 2>&1 || { echo "package: no Debian package $name"; exit 1; }
done

dpkg-deb -x "$package" "$work/root"
entry="$work/root/usr/share/applications/brantmoor-turnwise.desktop"
grep -q '^Name\[ja\]=ターンワイズ$' "$entry" || { echo "package: the menu entry has no Japanese name"; exit 1; }
for size in 16 24 32 48 64 128 256; do
    [ -s "$work/root/usr/share/icons/hicolor/${size}x$size/apps/brantmoor-turnwise.png" ] || {
        echo "package: no ${size}x$size icon"; exit 1; }
done
"$work/root/usr/bin/turnwise" --version | grep -q '^turnwise ' || { echo "package: turnwise does not run"; exit 1; }

# The menu entry's command, found on PATH as the desktop would.
command=$(sed -n 's/^Exec=//p' "$entry")
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
start_x_server
PATH="$work/root/usr/bin:$PATH" LC_ALL=C QT_QPA_PLATFORM=xcb $command >"$work/launcher.log" 2>&1 &
launcher_pid=$!
window=$(wait_for_window 'Brantmoor Turnwise') && [ -n "$window" ] || {
    echo "package: the menu entry's command showed no window"; cat "$work/launcher.log"; exit 1; }
close_through_exit_question "$window" 'Brantmoor Turnwise'
wait_for_end "$launcher_pid" || { echo "package: the launcher did not end with the program"; exit 1; }
wait "$launcher_pid" && status=0 || status=$?
launcher_pid=
[ "$status" -eq 0 ] || { echo "package: the launcher ended with $status"; exit 1; }
echo "package: $(basename "$package") holds the programs, menu entry and icons; its menu command starts the window"
