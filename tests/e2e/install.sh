#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the program, its desktop entry and its scalable icon land where the
# desktop's menus look, the entry names the installed program and passes desktop-file-validate.
# Usage: install.sh <build folder>
set -uo pipefail
build=$1
prefix=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "PASS: $*"; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install ended with $?"
entry=$prefix/share/applications/tarnwick.desktop
icon=$prefix/share/icons/hicolor/scalable/apps/tarnwick.svg
[ -x "$prefix/bin/tarnwick" ] && pass "program installed" || fail "no $prefix/bin/tarnwick"
[ -f "$entry" ] && pass "desktop entry installed" || fail "no $entry"
grep -q '<svg' "$icon" 2>/dev/null && pass "scalable icon installed" || fail "no SVG at $icon"

key() { sed -n "s/^$1=//p" "$entry" 2>/dev/null | head -n 1; }
[ "$(key Exec)" = "$prefix/bin/tarnwick" ] && pass "Exec names the installed program" || fail "Exec=$(key Exec)"
[ "$(key Name)" = "Tarnwick" ] || fail "Name=$(key Name)"
[ -n "$(key 'Name\[zh_CN\]')" ] && [ -n "$(key 'Comment\[zh_CN\]')" ] || fail "no Chinese Name or Comment"
[ "$(key Categories)" = "Utility;" ] || fail "Categories=$(key Categories)"
# Qt names the window's class after the program ("tarnwick" → "Tarnwick"), the entry's Icon after the file above.
[ "$(key StartupWMClass)" = "Tarnwick" ] || fail "StartupWMClass=$(key StartupWMClass)"
[ "$(key Icon)" = "tarnwick" ] || fail "Icon=$(key Icon)"

if command -v desktop-file-validate >/dev/null; then
    out=$(desktop-file-validate "$entry" 2>&1)
    [ $? -eq 0 ] && [ -z "$out" ] && pass "desktop-file-validate" || fail "desktop-file-validate: $out"
else
    echo "SKIP: desktop-file-validate is not installed (scripts/setup installs it)"
    [ $failures -eq 0 ] && exit 77
fi
[ $failures -eq 0 ] || { echo "$failures failed"; exit 1; }
