#!/usr/bin/env bash
# Runs a Windows console test under Wine in a throw-away prefix with a Wine
# virtual desktop on a private Xvfb, and serves its request for xdotool input.
# Usage: run-under-wine.sh TEST.exe. Exits with the test's status.
set -euo pipefail

exe="$(realpath "$1")"
desktop_size="1920x1080"
test_timeout=90

work="$(mktemp -d /tmp/qp-wine.XXXXXX)"
xvfb_pid=""
driver_pid=""
export WINEPREFIX="$work/prefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko: nothing may be downloaded.
export WINEDLLOVERRIDES="mscoree,mshtml="

cleanup() {
    [ -n "$driver_pid" ] && kill "$driver_pid" 2>/dev/null || true
    if [ -d "$WINEPREFIX" ]; then wineserver -k 2>/dev/null || true; fi
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && wait "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A private X server; -noreset keeps its state while clients come and go.
Xvfb -displayfd 3 -screen 0 "${desktop_size}x24" -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

echo "wine: preparing prefix on $DISPLAY"
wineboot -i >"$work/wineboot.log" 2>&1
# Input from the X server reaches Wine's hooks only through a virtual
# desktop, which the desktop process reads when it starts: write the keys,
# then let this wineserver end so the test's starts with them.
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop_size" /f >/dev/null 2>&1
wineserver -w

# The test asks for xdotool input by writing its arguments to this file
# (seen as Z:\...); each request is served once, then the file goes.
request="$work/xdotool-request"
(
    while :; do
        while [ ! -e "$request" ]; do sleep 0.05; done
        sleep 0.2  # the test may still be writing
        # shellcheck disable=SC2046  # the arguments are words on purpose
        xdotool $(tr -d '\r' <"$request")
        rm -f "$request"
    done
) &
driver_pid=$!

echo "wine: running $(basename "$exe")"
status=0
QP_DESKTOP_SIZE="$desktop_size" QP_XDOTOOL_REQUEST="Z:${request//\//\\}" \
    timeout "$test_timeout" wine "$exe" || status=$?
exit "$status"
