#!/usr/bin/env bash
# Supervision of real processes, end to end, on a virtual X server with openbox, in private folders. The apps are
# copies of a tiny X client (xfixtureapp) that this script starts itself, as a shell would, each under a desktop
# entry of its own:
#  (a) a blocked app that runs before the program starts is quit within 2 s of the start;
#  (b) a blocked app started from a shell while the program runs: its window is iconified and the prompt shows
#      (the program's window comes to the front);
#  (c) the same for a window without _NET_WM_PID;
#  a blocked app without any window is quit after its prompt;
#  (d) a focus session lives on while a second, short-lived instance of its app comes and goes, and ends when the
#      last instance ends;
#  (e) where no window can be hidden (a Wayland session), a blocked app started from a shell is quit and prompted.
# Usage (inside xvfb-run, from tests/run-isolated):
#   supervision.sh <tarnwick> <xsession> <xfixtureapp> <supervisionseed> <screenshot folder>
set -uo pipefail
tarnwick=$1 xsession=$2 fixture=$3 seed=$4 shots=$5
mkdir -p "$shots"
root=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-supervision.XXXXXX")
trap 'kill -KILL $(jobs -p) 2>/dev/null; rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
wait_for() { # <seconds> <command...>
    local until=$(($(now_ms) + $1 * 1000)); shift
    while (($(now_ms) < until)); do "$@" && return 0; sleep 0.05; done
    return 1
}
running() { kill -0 "$1" 2>/dev/null; }
gone() { ! running "$1"; }
reported() { grep -q "^$2" "$1" 2>/dev/null; }
program_in_front() { [[ $("$xsession" active-pid) == "$1" ]]; }

export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP XDG_SESSION_TYPE GIO_LAUNCHED_DESKTOP_FILE GIO_LAUNCHED_DESKTOP_FILE_PID

fresh_home() { # <name>: private HOME and XDG folders, with the fixture apps' entries
    local h="$root/$1"
    mkdir -p "$h/home" "$h/data" "$h/config" "$h/runtime" "$h/apps" "$h/bin"
    chmod 700 "$h/runtime"
    export HOME="$h/home" XDG_DATA_HOME="$h/data" XDG_CONFIG_HOME="$h/config" XDG_RUNTIME_DIR="$h/runtime"
    export XDG_DATA_DIRS="$h/no-data-dirs" TARNWICK_APP_DIRS="$h/apps"
    bin="$h/bin"
    local app name
    for app in blockedapp quietapp otherapp; do
        cp "$fixture" "$bin/$app" # an executable of its own, which only its entry runs
        case $app in blockedapp) name=受限应用 ;; quietapp) name=无窗口应用 ;; *) name=其他应用 ;; esac
        printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\n' "$name" "$bin/$app" > "$TARNWICK_APP_DIRS/$app.desktop"
    done
}
start_program() { # <log>: the program in the background; waits until it listens
    started_ms=$(now_ms)
    "$tarnwick" > "$1" 2>&1 &
    program=$!
    wait_for 20 test -S "$XDG_RUNTIME_DIR/tarnwick.socket" || fail "the program never listened"
}
stop_program() {
    kill -TERM "$program"
    wait_for 5 gone "$program" || { fail "the program did not end on SIGTERM"; kill -KILL "$program"; }
    wait "$program" 2>/dev/null
}
bystander() { # an app that is not blocked takes the front, so that the program coming forward means something
    [[ -n ${other:-} ]] && { kill -KILL "$other" 2>/dev/null; wait "$other" 2>/dev/null; }
    "$bin/otherapp" --pid &
    other=$!
    wait_for 5 program_in_front "$other" || echo "note: the bystander app did not come to the front"
}

# Its theme comes with the package; the private folders have none.
XDG_DATA_DIRS=/usr/local/share:/usr/share openbox --sm-disable > "$root/openbox.log" 2>&1 &
wm=$!
sleep 1
running $wm || fail "openbox did not start: $(cat "$root/openbox.log")"

fresh_home guard
"$seed" block blockedapp && "$seed" block quietapp || fail "cannot seed the rules"

# (a)
"$bin/blockedapp" --pid &
early=$!
sleep 0.3
start_program "$root/guard.out"
up_ms=$(($(now_ms) - started_ms))
if wait_for 2 gone $early; then
    pass "(a) the app started before the program was quit $(($(now_ms) - started_ms)) ms after the start (up after $up_ms ms)"
else
    fail "(a) the app started before the program still runs 2 s after the program was up ($up_ms ms)"
    kill -KILL $early
fi
wait $early 2>/dev/null
sleep 1.5 # the first scan has shown the grid

# (b), (c)
for way in "--pid:with _NET_WM_PID" ":without _NET_WM_PID"; do
    flag=${way%%:*} label=${way#*:}
    bystander
    report="$root/report$flag"
    "$bin/blockedapp" $flag --report "$report" &
    app=$!
    if wait_for 3 reported "$report" iconic; then
        pass "(b/c) window $label iconified $(sed -n 's/^iconic //p' "$report" | cut -d. -f1) ms after its mapping"
    else
        fail "(b/c) the window $label was not iconified ($(tr '\n' ' ' < "$report" 2>/dev/null))"
    fi
    if wait_for 2 program_in_front "$program"; then pass "(b/c) the prompt shows for the window $label"
    else fail "(b/c) the program did not come forward with its prompt ($label)"; fi
    "$xsession" shot "$shots/prompt${flag:---no-pid}.png"
    sleep 1.2
    running $app && pass "(b/c) the hidden app $label is left running" || fail "(b/c) the hidden app $label was quit"
    kill -TERM $app; wait $app 2>/dev/null
    sleep 1 # past the prompt throttle
done

# A blocked app with no window at all: prompted, then quit.
bystander
"$bin/quietapp" --no-window &
quiet=$!
wait_for 2 program_in_front "$program" && pass "the windowless app is prompted" || fail "no prompt for the windowless app"
if wait_for 3 gone $quiet; then pass "the windowless app was quit"; else fail "the windowless app still runs"; kill -KILL $quiet; fi
stop_program

# (e)
XDG_SESSION_TYPE=wayland start_program "$root/wayland.out"
sleep 1.5
bystander
"$bin/blockedapp" --pid &
app=$!
start_ms=$(now_ms)
if wait_for 3 gone $app; then pass "(e) without a way to hide it, the app was quit after $(($(now_ms) - start_ms)) ms"
else fail "(e) the app that cannot be hidden still runs"; kill -KILL $app; fi
wait_for 2 program_in_front "$program" && pass "(e) the prompt shows" || fail "(e) no prompt"
"$xsession" shot "$shots/prompt-unhideable.png"
stop_program
[[ -s "$root/guard.out" || -s "$root/wayland.out" ]] && fail "the program wrote: $(head -3 "$root/guard.out" "$root/wayland.out")"

# (d)
fresh_home session
"$seed" session otherapp 30 || fail "cannot seed the session"
"$bin/otherapp" --pid &
first=$!
start_program "$root/session.out"
sleep 1.5
"$bin/otherapp" --pid --exit-after 300 &
second=$!
wait_for 3 gone $second
sleep 0.5 # more than a scan after its end
sessions="$XDG_DATA_HOME/Tarnwick/sessions.json"
grep -q otherapp "$sessions" && pass "(d) the session lives on after the second instance ended" \
    || fail "(d) the session ended with the second instance: $(cat "$sessions")"
running $first && pass "(d) the first instance still runs" || fail "(d) the first instance was quit"
kill -TERM $first; wait $first 2>/dev/null
if wait_for 3 bash -c "! grep -q otherapp '$sessions'"; then pass "(d) the session ended with the last instance"
else fail "(d) the session outlived its app: $(cat "$sessions")"; fi
stop_program

kill -TERM $wm 2>/dev/null; wait $wm 2>/dev/null
kill -KILL "$other" 2>/dev/null; wait "$other" 2>/dev/null
echo "screenshots in $shots"
exit $((failures > 0))
