#!/usr/bin/env bash
# Renders the README's screenshots (docs/screenshots/*.png) on a private X server, with the
# app wired to the stand-in developer tools and their sample devices; the gallery's exported
# page is rendered by headless Chromium.
# QUILLMARCH_BUILD_DIR picks another build folder than build/dev.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

build=${QUILLMARCH_BUILD_DIR:-build/dev}
cmake -S . -B "$build" -G Ninja -DQUILLMARCH_USE_STANDIN=ON >/dev/null
cmake --build "$build" --target ui_screenshots standin_tools

mkdir -p docs/screenshots
export_folder=$(mktemp -d)
trap 'rm -rf "$export_folder"' EXIT
env QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= QT_SCALE_FACTOR=1 LANG=C.UTF-8 LC_ALL=C.UTF-8 \
    xvfb-run -a -s "-screen 0 1400x1000x24" "$build/tests/ui/ui_screenshots" docs/screenshots \
    "$export_folder"

# The exported gallery page, as a browser shows it offline.
chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --window-size=1280,900 \
    --screenshot="$PWD/docs/screenshots/gallery-page.png" "file://$export_folder/index.html"
