# Shell functions for tests that run real programs in a private X server.
# Source it, then: start_x_server; wait_for_window TITLE; close_through_exit_question WINDOW TITLE.
# Needs Xvfb and xdotool; uses $work (a temporary folder the caller made and removes).

start_x_server() {
    # No desktop session bus: libdbus, failing to reach one, would also leave behind a buffer
    # that the sanitizer build's leak checker reports when the program ends.
    export DBUS_SESSION_BUS_ADDRESS=disabled:
    display=$(( 200 + $$ % 400 ))
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
    Xvfb ":$display" -screen 0 1920x1080x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$display"
    for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && return 0; sleep 0.1; done
    echo "x session: Xvfb did not start"; return 1
}

stop_x_server() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}

# Prints the id of the first visible window titled exactly TITLE, waiting up to 30 seconds
# (the main window appears once the start-up banner has faded, about three seconds).
wait_for_window() {
    timeout 30 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

# Escape asks whether to exit; Return answers Yes. Keys go in through the XTEST extension
# to the window holding the focus (there is no window manager to activate windows).
close_through_exit_question() {
    window=$1 title=$2
    xdotool windowfocus --sync "$window"
    xdotool key Escape
    question=
    for _ in $(seq 1 100); do
        question=$(xdotool search --onlyvisible --name "^$title\$" | grep -v "^$window\$" | head -n 1 || true)
        [ -n "$question" ] && break
        sleep 0.1
    done
    [ -n "$question" ] || { echo "x session: the exit question did not appear"; return 1; }
    xdotool windowfocus --sync "$question"
    xdotool key Return
}

# Waits up to 10 seconds for process PID to end; false when it is still running.
wait_for_end() {
    for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}
