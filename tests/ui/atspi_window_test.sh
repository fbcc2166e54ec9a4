#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the editor on a display of its own with an accessibility bus and reads it with
# atspi_window.py. Exits 77 (skipped) where the bus or its Python binding is not installed.
#   bash tests/ui/atspi_window_test.sh EDITOR
set -euo pipefail
if [ "${1:-}" != "--inside" ]; then
    for tool in xvfb-run dbus-run-session /usr/libexec/at-spi-bus-launcher; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
    /usr/bin/python3 -c "import pyatspi" 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
    exec xvfb-run -a dbus-run-session -- bash "$(realpath "$0")" --inside "$(realpath "$1")"
fi
editor=$2
home=$(mktemp -d)
trap 'kill "${reader_bus:-}" "${window:-}" 2>/dev/null || true; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
/usr/libexec/at-spi-bus-launcher --launch-immediately &
reader_bus=$!
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$editor" >"$home/editor.log" 2>&1 &
window=$!
status=0
timeout 180 /usr/bin/python3 "$(dirname "$(realpath "$0")")/atspi_window.py" || status=$?
if [ "$status" -ne 0 ]; then
    # What the editor said, and whether it still runs, tell a window that never came up from
    # one that came up wrong.
    if kill -0 "$window" 2>/dev/null; then echo "the editor still runs"; else echo "the editor has ended"; fi
    echo "the editor's output:"
    tail -n 40 "$home/editor.log"
fi
exit "$status"
