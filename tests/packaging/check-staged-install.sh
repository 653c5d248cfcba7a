#!/usr/bin/env bash
# Installs a build into a staging folder under the prefix /usr, as the .deb does, and checks that
# the programs, their desktop entries, the icon in every theme size and the metainfo landed.
#   check-staged-install.sh <build folder> <staging folder> <app id> <step recorder id> <icon name>
set -eu
build=$1 stage=$2 app_id=$3 steps_id=$4 icon=$5

rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null

missing=0
expect() {
    if [ ! -e "$stage/usr/$1" ]; then
        echo "missing: /usr/$1"
        missing=1
    elif [ -n "${2:-}" ] && [ ! -x "$stage/usr/$1" ]; then
        echo "not executable: /usr/$1"
        missing=1
    fi
}
expect bin/quillmarch executable
expect bin/quillmarch-steps executable
expect bin/quillmarch-cli executable
expect "share/applications/$app_id.desktop"
expect "share/applications/$steps_id.desktop"
expect "share/metainfo/$app_id.metainfo.xml"
expect "share/icons/hicolor/scalable/apps/$icon.svg"
for size in 16 22 24 32 48 64 128 256 512; do
    expect "share/icons/hicolor/${size}x${size}/apps/$icon.png"
done

# The command line has no desktop entry: it is not an application to start from a menu.
if grep -rlq 'quillmarch-cli' "$stage/usr/share/applications"; then
    echo "a desktop entry starts quillmarch-cli"
    missing=1
fi

# Nothing but programs and shared data: no headers, libraries or stand-in tools.
unexpected=$(cd "$stage/usr" && find . -type f ! -path './bin/*' ! -path './share/*')
if [ -n "$unexpected" ]; then
    echo "unexpected files:"
    echo "$unexpected"
    missing=1
fi
exit $missing
