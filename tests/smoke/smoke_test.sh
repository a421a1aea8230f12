#!/bin/sh
# Starts the real main program in an X server (the xcb platform), waits for its window,
# checks its size, takes a screenshot and closes it through the exit question.
#   smoke_test.sh PROGRAM GRAB_SCREEN
set -eu
program=$1
grab=$2
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "smoke: $tool is missing (scripts/bootstrap installs it)"; exit 1; }
done
. "$(dirname "$0")/x_session.sh"

work=$(mktemp -d)
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    stop_x_server
    rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, so the collection file is written there and nowhere else.
cp "$program" "$work/pivora.bin"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
start_x_server

LC_ALL=C QT_QPA_PLATFORM=xcb "$work/pivora.bin" >"$work/app.log" 2>&1 &
app_pid=$!

window=$(wait_for_window 'Brantmoor Turnwise') && [ -n "$window" ] || {
    echo "smoke: no window titled 'Brantmoor Turnwise' appeared"; cat "$work/app.log"; exit 1; }
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "984x728" ] || { echo "smoke: the window is $geometry, not 984x728"; exit 1; }

"$grab" "$work/screen.png"
[ -s "$work/screen.png" ] || { echo "smoke: no screenshot"; exit 1; }
if [ -n "${SMOKE_SCREENSHOT:-}" ]; then cp "$work/screen.png" "$SMOKE_SCREENSHOT"; fi

close_through_exit_question "$window" 'Brantmoor Turnwise'
wait_for_end "$app_pid" || { echo "smoke: the program did not end after Yes"; exit 1; }
wait "$app_pid" && status=0 || status=$?
app_pid=
[ "$status" -eq 0 ] || { echo "smoke: the program ended with $status"; cat "$work/app.log"; exit 1; }
[ -f "$work/IMG.DAT" ] || { echo "smoke: the collection file was not written at exit"; exit 1; }
echo "smoke: window 984x728 shown, screenshot taken, closed through the exit question"
