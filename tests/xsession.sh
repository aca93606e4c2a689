# What the scripts that drive the real program share: a private Xvfb, a
# home, state and config folder of their own, the program copied into a
# folder with presets, and xdotool to find windows and type into them, as a
# person would. Sourced by a script that has set -euo pipefail and
# program (the Velmora to run); it exits 77 (skipped) when Xvfb or xdotool
# is missing.

for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed" >&2
        exit 77
    fi
done

# How long to wait for a window or a file: a minute, or what
# VELMORA_WAIT_SECONDS says (the mutation run, where a fault that keeps a
# window away should not cost a minute each time).
wait_tenths=$(( ${VELMORA_WAIT_SECONDS:-60} * 10 ))

work="$(mktemp -d)"
xvfb_pid=""
pid=""
cleanup() {
    if [ -n "$pid" ]; then kill -9 "$pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    echo "--- Velmora's output:" >&2
    cat "$work/velmora.log" >&2 || true
    if [ -n "$xvfb_pid" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "--- Xvfb on $DISPLAY runs; it answers: $(xdotool getdisplaygeometry 2>&1)" >&2
    else
        echo "--- Xvfb has ended." >&2
    fi
    echo "--- Xvfb's output:" >&2
    cat "$work/xvfb.log" >&2 || true
    exit 1
}

# Polls a condition for up to a minute.
wait_until() {
    local what="$1"
    shift
    for _ in $(seq "$wait_tenths"); do
        if "$@"; then return 0; fi
        sleep 0.1
    done
    fail "waited ${VELMORA_WAIT_SECONDS:-60} s for: $what"
}

# A display of our own, away from the low numbers that desktops and other
# tools take: a random one from 100 up, another if it is taken (that Xvfb
# ends at once). Xvfb writes the number to fd 3 once it listens, and the
# display must answer before the program is started. -noreset: an X server
# resets when its last client leaves (each xdotool, the killed program) and
# refuses connections meanwhile.
start_xvfb() {
    local n
    for _ in $(seq 20); do
        n=$((100 + RANDOM % 800))
        rm -f "$work/display"
        Xvfb ":$n" -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
        xvfb_pid=$!
        for _ in $(seq 300); do
            if [ -s "$work/display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
            sleep 0.1
        done
        if [ -s "$work/display" ] && DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
            export DISPLAY=":$n"
            return 0
        fi
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=""
    done
    fail "no Xvfb display could be started (see below)"
}
start_xvfb
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
export HOME="$work/home" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$work/runtime" "$work/out"
chmod 700 "$work/runtime"
drafts="$XDG_STATE_HOME/velmora"

# The program in a folder of its own, with presets of its own.
mkdir -p "$work/app"
cp "$program" "$work/app/velmora"
printf '"Acme Tools","https://acme.example","English, German","acme.dll","Ann Author","ann@acme.example"\r\n' \
    >"$work/app/presets.txt"

# Under AddressSanitizer (scripts/test-sanitizers) one check stays off for
# the real program: libxkbcommon-x11, on connecting to the X server, hands
# strndup() a bounded atom name without a terminating NUL, which
# strict_string_checks reports although nothing is read past the bound.
start() {
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0" \
        "$work/app/velmora" "$@" >>"$work/velmora.log" 2>&1 &
    pid=$!
}

kill_hard() {
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    pid=""
}

# The visible window of that caption, once it is there (nothing after a
# minute). The splash carries the main window's caption; it is the one 431
# pixels wide.
window() {
    local id pattern
    pattern="^$(printf '%s' "$1" | sed 's/[][\.*^$?+(){}|]/\\&/g')\$"
    for _ in $(seq "$wait_tenths"); do
        for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
            if [ "$1" != Velmora ] || ! xdotool getwindowgeometry "$id" | grep -q 'Geometry: 431x'; then
                echo "$id"
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

# Keys go to the window that has the focus; without a window manager, give
# it explicitly.
focus() {
    local id
    id="$(window "$1")" || fail "no window \"$1\" within ${VELMORA_WAIT_SECONDS:-60} s"
    xdotool windowfocus --sync "$id"
}
keys() { xdotool key --delay 50 "$@"; }
typed() { xdotool type --delay 30 "$1"; }

# Create File on the author screen (the focus on its Name box), through the
# Save dialog, to the given path.
create_file() {
    keys Tab Tab Tab Return
    focus "Save file"
    typed "$1"
    keys Return
    wait_until "the readme $1" test -s "$1"
}

# File > Exit on the main window, answered Yes: the program ends with
# status 0.
exit_program() {
    focus Velmora
    keys alt+f x
    focus "Exit?"
    keys Return
    for _ in $(seq "$wait_tenths"); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "Velmora still runs after Exit"
    wait "$pid" || fail "Velmora ended with status $?"
    pid=""
}
