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

work=$(mktemp -d)
xvfb_pid=
app_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A program folder of its own, so the collection file is written there and nowhere else.
cp "$program" "$work/pivora.bin"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/data"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

display=$(( 200 + $$ % 400 ))
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
export DISPLAY=":$display"
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

LC_ALL=C QT_QPA_PLATFORM=xcb "$work/pivora.bin" >"$work/app.log" 2>&1 &
app_pid=$!

# The window appears once the start-up banner has faded (about three seconds).
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Brantmoor Turnwise$' | head -n 1) || {
    echo "smoke: no window titled 'Brantmoor Turnwise' appeared"; cat "$work/app.log"; exit 1; }
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "984x728" ] || { echo "smoke: the window is $geometry, not 984x728"; exit 1; }

"$grab" "$work/screen.png"
[ -s "$work/screen.png" ] || { echo "smoke: no screenshot"; exit 1; }
if [ -n "${SMOKE_SCREENSHOT:-}" ]; then cp "$work/screen.png" "$SMOKE_SCREENSHOT"; fi

# Escape asks whether to exit; Return answers Yes. Keys go in through the XTEST extension
# to the window holding the focus (there is no window manager to activate windows).
xdotool windowfocus --sync "$window"
xdotool key Escape
question=
for _ in $(seq 1 100); do
    question=$(xdotool search --onlyvisible --name '^Brantmoor Turnwise$' | grep -v "^$window\$" | head -n 1 || true)
    [ -n "$question" ] && break
    sleep 0.1
done
[ -n "$question" ] || { echo "smoke: the exit question did not appear"; exit 1; }
xdotool windowfocus --sync "$question"
xdotool key Return
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app_pid" 2>/dev/null; then echo "smoke: the program did not end after Yes"; exit 1; fi
wait "$app_pid" && status=0 || status=$?
app_pid=
[ "$status" -eq 0 ] || { echo "smoke: the program ended with $status"; cat "$work/app.log"; exit 1; }
[ -f "$work/IMG.DAT" ] || { echo "smoke: the collection file was not written at exit"; exit 1; }
echo "smoke: window 984x728 shown, screenshot taken, closed through the exit question"
