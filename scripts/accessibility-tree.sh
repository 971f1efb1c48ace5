#!/usr/bin/env bash
# Starts Tessel on a fresh demo shop under Xvfb with the platform's
# accessibility bridge (AT-SPI) and prints what a screen reader or a
# UI-automation tool finds: every window, control, role and name.
# Needs: xvfb, dbus, at-spi2-core, python3-pyatspi (Debian packages).
#   scripts/accessibility-tree.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if [ -z "${TESSEL_ATSPI_INNER:-}" ]; then
    display=:$((90 + RANDOM % 100))
    Xvfb "$display" -screen 0 1400x950x24 > /dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
    sleep 2
    DISPLAY="$display" TESSEL_ATSPI_INNER=1 dbus-run-session -- "$0" "$build" 2> /dev/null
    exit
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately &
sleep 2
"$build/cli/tessel-cli" demo-shop "$work/shop" > /dev/null
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 HOME="$work/home" "$build/app/tessel" --home "$work/shop" \
    > "$work/tessel.log" 2>&1 &
tessel=$!
sleep 8
/usr/bin/python3 - <<'PY'
import pyatspi

def walk(node, depth):
    print("  " * depth + node.getRoleName() + ": " + (node.name or ""))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            walk(child, depth + 1)

for app in pyatspi.Registry.getDesktop(0):
    if app is not None and (app.name or "").lower() == "tessel":
        walk(app, 0)
PY
kill "$tessel" 2> /dev/null || true
