#!/usr/bin/env bash
# Runs the fuzzers one after another at the lowest priority, each until it has made RUNS
# executions or spent SECONDS seconds, keeping the grown corpora and any crashing inputs under
# OUT. Seeds for the XML and binary fuzzers come from fuzz/make-seeds.py. The keys fuzzers
# (textkeys, xmlkeys, binarykeys) share the seeds and dictionary of their form's fuzzer.
#   fuzz/run-fuzzers.sh [fuzzer names…]     (default: all seven)
# Environment: BUILD (build/fuzz), OUT (build/fuzz/runs), RUNS (10000000), SECONDS_EACH (3600),
# TIMEOUT (20 s a unit, wall-clock: raise it when the machine is busy with other work), MAX_LEN
# (4096 bytes, XML 8192; binary lists may expand to 16 values a byte, so a smaller bound keeps
# the binary fuzzer's executions fast once its corpus holds such lists)
set -u
cd "$(dirname "$0")/.."
build=${BUILD:-build/fuzz}
out=${OUT:-$build/runs}
runs=${RUNS:-10000000}
seconds=${SECONDS_EACH:-3600}
timeout=${TIMEOUT:-20}
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(textplist xmlplist binaryplist devicelist textkeys xmlkeys binarykeys)

for name in "${targets[@]}"; do
    form=$name
    [[ $name == *keys ]] && form=${name%keys}plist
    seeds=fuzz/$form/corpus
    [ -d "$seeds" ] || seeds=$build/seeds/$form
    [ -d "$seeds" ] || python3 fuzz/make-seeds.py "$build/seeds"
    dict=()
    [ -f fuzz/$form/$form.dict ] && dict=(-dict=fuzz/$form/$form.dict)
    maxlen=4096
    [ "$form" = xmlplist ] && maxlen=8192
    maxlen=${MAX_LEN:-$maxlen}
    mkdir -p "$out/corpus/$name" "$out/artifacts/$name"
    # Freed memory stays with the process: libFuzzer's default hands it back every second once
    # the process passes 1 GB, and each later execution then faults its pages in again (the
    # binary fuzzer's rate fell from 6,700 to 500 a second). The memory limit is raised to match.
    # Allocation stacks are left out of reports for speed; replay a finding to get them.
    ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0} nice -n 19 "$build/fuzz/$name/fuzz_$name" -runs="$runs" -max_total_time="$seconds" \
        -max_len=$maxlen -timeout=$timeout -print_final_stats=1 "${dict[@]}" \
        -purge_allocator_interval=-1 -rss_limit_mb=4096 \
        -artifact_prefix="$out/artifacts/$name/" "$out/corpus/$name" "$seeds" \
        >"$out/$name.log" 2>&1
    echo "$name: exit $? — $(grep -E '^#[0-9]+' "$out/$name.log" | tail -1)"
done
