#!/usr/bin/env bash
# Builds Quillmarch (optimised, the `release` preset) and starts it. Without Xcode's tools (any
# machine but a Mac with Xcode), the app is wired to the bundled stand-in tools and their sample
# simulator devices. A second run reuses the build: it configures only when the build folder is
# new or the wiring changed, and the build step then has nothing to do.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh

standin=OFF
[ -x /usr/bin/xcrun ] || standin=ON
build=build/release
if ! grep -qx "QUILLMARCH_USE_STANDIN:BOOL=$standin" "$build/CMakeCache.txt" 2>/dev/null; then
    cmake --preset release -DQUILLMARCH_USE_STANDIN=$standin >/dev/null
fi
cmake --build --preset release --target quillmarch
exec ./$build/app/quillmarch/quillmarch
