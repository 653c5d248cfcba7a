#!/usr/bin/env bash
# Configures the sources as a plain `cmake -S . -B build` does (the Unix Makefiles generator, no
# preset, no build type) and builds a library and the app icon. Make, unlike Ninja, creates no
# folders for a command's outputs, so a rule that writes into a folder nobody made fails here.
# Usage: check-makefiles-build.sh <source folder> <build folder> <C++ compiler>
set -euo pipefail
source_dir="$1"
build_dir="$2"
compiler="$3"
rm -rf "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -G "Unix Makefiles" -DCMAKE_CXX_COMPILER="$compiler" \
    >"$build_dir.configure.log" 2>&1 || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" --parallel 2 --target quillmarch_native_pixels quillmarch_icons
icns="$build_dir/packaging/icons/AppIcon.icns"
[ -s "$icns" ] || { echo "No icon at $icns" >&2; exit 1; }
echo "The Makefiles build wrote $icns"
