#!/usr/bin/env bash
# Installs the Debian 12 packages Quillmarch needs to build, run and test, when any is missing.
set -eu

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-qpa-plugins
    qcoro-qt6-dev libplist-dev libicu-dev libxi-dev libx11-dev libxcb1-dev libgl-dev
    xvfb xauth x11-utils xdotool openssl fonts-dejavu-core fonts-noto-color-emoji
    desktop-file-utils appstream dpkg-dev file
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
    chromium
    # Chinese glyphs, for the gallery's screenshots of an app's Chinese screens and its labels.
    fonts-wqy-microhei
)
# The macOS cross-check (scripts/check-macos.sh) installs its compiler with npm; Debian's npm
# package brings npm and Node.js where neither is installed yet.
if ! command -v npm >/dev/null; then
    packages+=(npm)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
