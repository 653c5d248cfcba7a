#!/usr/bin/env bash
# Starts or stops the private Xvfb server the window and input tests run against.
set -eu
action=$1
display=$2
pidfile="/tmp/quillmarch-xvfb${display#:}.pid"

case "$action" in
start)
    if xdpyinfo -display "$display" >/dev/null 2>&1; then
        echo "X server on $display already running"
        exit 0
    fi
    Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp -ac +extension XInputExtension \
        >/tmp/quillmarch-xvfb.log 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 1 100); do
        if xdpyinfo -display "$display" >/dev/null 2>&1; then
            echo "X server on $display started"
            exit 0
        fi
        sleep 0.1
    done
    echo "Xvfb did not start on $display" >&2
    cat /tmp/quillmarch-xvfb.log >&2 || true
    exit 1
    ;;
stop)
    if [ -f "$pidfile" ]; then
        kill "$(cat "$pidfile")" 2>/dev/null || true
        rm -f "$pidfile"
    fi
    ;;
esac
