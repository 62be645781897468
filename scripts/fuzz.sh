#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for a fixed time,
# starting from the minimised corpus kept in fuzz/corpus/<target> and from seeds made by our
# image generator. New finds go to build/fuzz/corpus-<target>, not into the repository.
#
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]
#        scripts/fuzz.sh --minimise [target...]   merge the build corpus into fuzz/corpus
# Prints executions, inputs per second (of wall time, and of the target's own CPU time) and
# findings per target; exits non-zero when a target found a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
minimise=0
if [ "${1:-}" = "--minimise" ]; then
    minimise=1
    shift
    seconds=0
else
    seconds="${1:-20}"
    [ $# -gt 0 ] && shift
fi
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(fuzz_processing fuzz_numbers)
    [ -f fuzz/fuzz_receiver.cpp ] && targets+=(fuzz_receiver)
fi
bash scripts/install-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "${targets[@]}" veltrano-imagegen
out=build/fuzz
gen=$out/tools/imagegen/veltrano-imagegen

# Seeds: option bytes followed by the words of each script; text seeds for the numbers.
mkdir -p "$out/seeds-processing" "$out/seeds-numbers" "$out/seeds-receiver"
for s in fuzz/seeds/*.txt; do
    name=$(basename "$s" .txt)
    "$gen" raw "$s" "$out/raw-$name"
    for opt in '\x03\x13\x52\x00\x00\x00\x00\x00' '\x00\xf0\x0f\x44\x01\x02\x01\x02'; do
        { printf "$opt"; cat "$out/raw-$name"; } > "$out/seeds-processing/$name-$(printf "$opt" | od -An -tx1 | tr -d ' \n' | cut -c1-8)"
    done
    # The receiver sees a download in events of 200 bytes: the words, then the end marker.
    rm -rf "$out/chunks" && mkdir -p "$out/chunks"
    { cat "$out/raw-$name"; printf 'DONE'; } | split -b 200 - "$out/chunks/c"
    {
        printf '\x0b'
        for c in "$out"/chunks/c*; do
            printf "\\x$(printf '%02x' "$(stat -c %s "$c")")"
            cat "$c"
        done
    } > "$out/seeds-receiver/$name"
done
for t in "12,6" "12.6" "-5" "1e308" "1,2,3" "-" "," "" "12" "0,125" "9999" "4294967296"; do
    printf '%s' "$t" > "$out/seeds-numbers/$(printf '%s' "$t" | od -An -tx1 | tr -d ' \n')x"
done

export ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0
if [ "$minimise" -eq 1 ]; then
    for t in "${targets[@]}"; do
        name=${t#fuzz_}
        kept=fuzz/corpus/$name
        mkdir -p "$kept" "$out/corpus-$name"
        merged=$(mktemp -d)
        "$out/fuzz/$t" -merge=1 -max_len=65536 "$merged" "$kept" "$out/corpus-$name" \
            "$out/seeds-$name" >"$out/$t-merge.log" 2>&1
        rm -f "$kept"/*
        cp "$merged"/* "$kept"/ 2>/dev/null || true
        rm -rf "$merged"
        echo "$t: $(find "$kept" -type f | wc -l) inputs, $(du -sh "$kept" | cut -f1) in $kept"
    done
    exit 0
fi

# CPU seconds (user + system) of the children this shell has waited for; `times` must run in
# this shell, not in a command substitution.
child_cpu() {
    times >"$out/times"
    tail -1 "$out/times" | awk '{
        t = 0
        for (i = 1; i <= 2; i++) { split($i, p, /m|s/); t += p[1] * 60 + p[2] }
        printf "%.3f", t
    }'
}

status=0
for t in "${targets[@]}"; do
    name=${t#fuzz_}
    corpus="$out/corpus-$name"
    mkdir -p "$corpus" "$out/findings-$name" fuzz/corpus/"$name"
    log="$out/$t.log"
    set +e
    began=$(date +%s.%N)
    child_cpu >"$out/cpu-before"
    "$out/fuzz/$t" "$corpus" fuzz/corpus/"$name" "$out/seeds-$name" -max_total_time="$seconds" \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$out/findings-$name/" >"$log" 2>&1
    rc=$?
    ended=$(date +%s.%N)
    child_cpu >"$out/cpu-after"
    set -e
    execs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' || echo 0)
    findings=$(find "$out/findings-$name" -type f | wc -l)
    rate=$(awk -v n="$execs" -v a="$began" -v b="$ended" 'BEGIN { printf "%d", n / (b - a) }')
    # Per second of CPU time: what one core of its own would do, whatever else runs.
    core=$(awk -v n="$execs" -v a="$(cat "$out/cpu-before")" -v b="$(cat "$out/cpu-after")" \
        'BEGIN { printf "%d", (b > a) ? n / (b - a) : 0 }')
    echo "$t: ${execs} executions in ${seconds}s, ${rate} inputs/s (${core} per CPU second)," \
        "${findings} findings (exit $rc)"
    if [ "$rc" -ne 0 ] || [ "$findings" -ne 0 ]; then
        status=1
        tail -40 "$log"
    fi
done
exit $status
