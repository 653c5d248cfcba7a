#!/usr/bin/env bash
# Starts or stops a private Xorg server with the dummy video driver and two monitors side by
# side (DUMMY0 and DUMMY1, 1280 x 960 pixels each), for the multi-monitor recording tests.
# Xvfb cannot do this: its RandR ignores extra monitors and its Xinerama gives the toolkit one
# screen. Xorg must run as root here, on the console's current VT without switching it.
set -eu
action=$1
display=$2
dir="${TMPDIR:-/tmp}/quillmarch-xorg${display#:}"
pidfile="$dir/pid"

stop_server() {
    if [ -f "$pidfile" ]; then
        pid=$(cat "$pidfile")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 1 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null || true
        rm -f "$pidfile"
    fi
}

case "$action" in
start)
    if xdpyinfo -display "$display" >/dev/null 2>&1; then
        echo "An X server already runs on $display; it is not ours to use" >&2
        exit 1
    fi
    if [ "$(id -u)" -ne 0 ]; then
        echo "The multi-monitor tests start Xorg with a private configuration, which needs root" >&2
        exit 1
    fi
    stop_server
    mkdir -p "$dir"
    cat >"$dir/xorg.conf" <<'CONF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoEnableDevices" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 2560 1024
    EndSubSection
EndSection
CONF
    Xorg "$display" -config "$dir/xorg.conf" -logfile "$dir/Xorg.log" -noreset -nolisten tcp \
        -sharevts -novtswitch >"$dir/output.log" 2>&1 &
    echo $! >"$pidfile"
    up=false
    for _ in $(seq 1 150); do
        if xdpyinfo -display "$display" >/dev/null 2>&1; then
            up=true
            break
        fi
        kill -0 "$(cat "$pidfile")" 2>/dev/null || break
        sleep 0.1
    done
    if ! $up; then
        echo "Xorg did not start on $display" >&2
        tail -n 30 "$dir/Xorg.log" "$dir/output.log" >&2 || true
        stop_server
        exit 1
    fi
    export DISPLAY=$display
    xrandr --addmode DUMMY1 1280x960 2>/dev/null || true
    xrandr --output DUMMY0 --mode 1280x960 --pos 0x0 --primary \
        --output DUMMY1 --mode 1280x960 --right-of DUMMY0
    if [ "$(xrandr --listmonitors | head -n 1)" != "Monitors: 2" ]; then
        echo "Xorg on $display did not get two monitors:" >&2
        xrandr --listmonitors >&2
        stop_server
        exit 1
    fi
    echo "Xorg on $display started with two monitors"
    ;;
stop)
    stop_server
    ;;
esac
