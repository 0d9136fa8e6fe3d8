#!/usr/bin/env bash
# The program end to end on a virtual X server, in private folders with fixture apps:
#  - its window shows the apps found (screenshot first-start.png);
#  - a second start exits 0 and brings the first one's closed window back (closed.png, shown-again.png), and one
#    close a second later closes it again, cycle after cycle;
#  - SIGTERM ends it at once with status 0;
#  - a file where the data folder belongs, or a store file that is no database: status 1, one line naming it, the
#    file untouched; on a display the error window (store-error.png).
# Usage (inside xvfb-run, from tests/run-isolated): program.sh <tarnwick> <xsession> <screenshot folder>
set -uo pipefail
tarnwick=$1 xsession=$2 shots=$3
mkdir -p "$shots"
root=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-e2e.XXXXXX")
trap 'kill -KILL $(jobs -p) 2>/dev/null; rm -rf "$root"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

fresh_home() { # <name>: private HOME and XDG folders
    local h="$root/$1"
    mkdir -p "$h/home" "$h/data" "$h/config" "$h/runtime" "$h/apps"
    chmod 700 "$h/runtime"
    export HOME="$h/home" XDG_DATA_HOME="$h/data" XDG_CONFIG_HOME="$h/config" XDG_RUNTIME_DIR="$h/runtime"
    export XDG_DATA_DIRS="$h/no-data-dirs" TARNWICK_APP_DIRS="$h/apps"
}
wait_for() { # <seconds> <command...>
    local until=$((SECONDS + $1)); shift
    while ((SECONDS < until)); do "$@" && return 0; sleep 0.1; done
    return 1
}

export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY XDG_CURRENT_DESKTOP

fresh_home main
for name in 甲骨文 乙 Alpha Beta Gamma; do
    printf '[Desktop Entry]\nType=Application\nName=%s\nExec=/bin/true\n' "$name" > "$TARNWICK_APP_DIRS/app-$RANDOM$RANDOM.desktop"
done

"$tarnwick" > "$root/first.out" 2>&1 &
first=$!
if wait_for 20 test -S "$XDG_RUNTIME_DIR/tarnwick.socket"; then pass "first start is up"; else fail "first start never listened"; fi
sleep 1.5 # the first scan
"$xsession" shot "$shots/first-start.png" || fail "no screenshot"
[[ $("$xsession" count) == 1 ]] && pass "one window on screen" || fail "$("$xsession" count) windows on screen"

closed=$("$xsession" close)
wait_for 3 bash -c "[[ \$('$xsession' count) == 0 ]]" || fail "the window is still on screen after one close"
"$xsession" shot "$shots/closed.png"
kill -0 $first 2>/dev/null && pass "closing the window ($closed) leaves the program running" || fail "closing the window ended it"

# Shown again by a second start, then closed about a second later: one close each time.
cycles=6 failedBefore=$failures
for ((cycle = 1; cycle <= cycles; ++cycle)); do
    "$tarnwick" > "$root/second.out" 2>&1 &
    second=$!
    if wait_for 15 bash -c "! kill -0 $second 2>/dev/null"; then
        wait $second; rc=$?
        [[ $rc == 0 ]] || fail "second start $cycle exited $rc"
    else
        fail "second start $cycle still runs"
    fi
    wait_for 5 bash -c "[[ \$('$xsession' count) == 1 ]]" \
        || fail "$("$xsession" count) windows on screen after second start $cycle"
    if ((cycle == 1)); then
        sleep 0.3
        "$xsession" shot "$shots/shown-again.png"
    fi
    ((cycle == cycles)) && break # the last one stays for SIGTERM
    sleep 1
    "$xsession" close > /dev/null
    wait_for 3 bash -c "[[ \$('$xsession' count) == 0 ]]" || fail "show-again $cycle: the window is still on screen after one close"
done
((failures == failedBefore)) \
    && pass "$cycles second starts exit 0 and show the window again; one close a second later closes it each time"

start=$(date +%s%N)
kill -TERM $first
if wait_for 3 bash -c "! kill -0 $first 2>/dev/null"; then
    wait $first; rc=$?
    elapsed=$((($(date +%s%N) - start) / 1000000))
    [[ $rc == 0 ]] && pass "SIGTERM ends it with 0 after $elapsed ms" || fail "SIGTERM gave status $rc"
else
    fail "SIGTERM did not end it within 3 s"
fi
if [[ -s "$root/first.out" ]]; then fail "the program wrote: $(head -3 "$root/first.out")"; else pass "nothing written to stdout or stderr"; fi

fresh_home blocked
printf 'not a folder\n' > "$XDG_DATA_HOME/Tarnwick"
cp "$XDG_DATA_HOME/Tarnwick" "$root/blocked.copy"
QT_QPA_PLATFORM=offscreen "$tarnwick" > "$root/blocked.out" 2> "$root/blocked.err"
rc=$?
[[ $rc == 1 ]] && pass "a file in the data folder's place gives status 1" || fail "status $rc for a blocked data folder"
lines=$(wc -l < "$root/blocked.err")
if [[ $lines == 1 ]] && grep -qF "$XDG_DATA_HOME/Tarnwick" "$root/blocked.err"; then
    pass "one line naming it: $(cat "$root/blocked.err")"
else
    fail "stderr was: $(cat "$root/blocked.err")"
fi
cmp -s "$XDG_DATA_HOME/Tarnwick" "$root/blocked.copy" && pass "the file is unchanged" || fail "the file changed"

"$tarnwick" > /dev/null 2> "$root/blocked-x.err" &
errorrun=$!
wait_for 15 bash -c "[[ \$('$xsession' count) == 1 ]]" || fail "no error window"
sleep 0.3
"$xsession" shot "$shots/store-error.png"
"$xsession" close > /dev/null
if wait_for 5 bash -c "! kill -0 $errorrun 2>/dev/null"; then
    wait $errorrun; rc=$?
    [[ $rc == 1 ]] && pass "on a display the error window closes with status 1" \
        || fail "error window run gave $rc: $(head -5 "$root/blocked-x.err")"
else
    fail "the error window did not close"
fi
cmp -s "$XDG_DATA_HOME/Tarnwick" "$root/blocked.copy" || fail "the file changed on a display"

fresh_home damaged
mkdir -p "$XDG_DATA_HOME/Tarnwick"
head -c 4096 /dev/urandom > "$XDG_DATA_HOME/Tarnwick/Tarnwick.store"
cp "$XDG_DATA_HOME/Tarnwick/Tarnwick.store" "$root/damaged.copy"
QT_QPA_PLATFORM=offscreen "$tarnwick" > /dev/null 2> "$root/damaged.err"
rc=$?
[[ $rc == 1 ]] && pass "a store file that is no database gives status 1" || fail "status $rc for a damaged store"
if [[ $(wc -l < "$root/damaged.err") == 1 ]] && grep -qF "$XDG_DATA_HOME/Tarnwick/Tarnwick.store" "$root/damaged.err"; then
    pass "one line naming it: $(cat "$root/damaged.err")"
else
    fail "stderr was: $(cat "$root/damaged.err")"
fi
cmp -s "$XDG_DATA_HOME/Tarnwick/Tarnwick.store" "$root/damaged.copy" && pass "the store file is unchanged" \
    || fail "the damaged store changed"

echo "screenshots in $shots"
exit $((failures > 0))
