#!/usr/bin/env bash
# Builds Quillmarch and starts it. Without Xcode's tools (any machine but a Mac with Xcode),
# the app is wired to the bundled stand-in tools and their sample simulator devices.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

standin=OFF
[ -x /usr/bin/xcrun ] || standin=ON
cmake --preset dev -DQUILLMARCH_USE_STANDIN=$standin >/dev/null
cmake --build --preset dev --target quillmarch
exec ./build/dev/app/quillmarch/quillmarch
