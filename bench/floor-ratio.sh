#!/usr/bin/env bash
# The headless program's time against the floor's, client size by size.
#
#   bench/floor-ratio.sh <build-dir> [N ...]
#
# For each N (default 500 1000 2000 4000) generates a client of N characters
# with generate-client.py, then three times over runs veltra-cli and
# veltra-floor side by side, each on a fresh copy of that client (copied with
# cp -a and flushed to disk before the clock starts, so the page cache is warm
# and no write-back of the copy is timed). Prints the median wall-clock time
# of each and their ratio, and checks that both deleted the same number of
# duplicates.
set -euo pipefail
build="$(realpath "$1")"
shift
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(500 1000 2000 4000)
cli="$build/app/veltra-cli"
floor="$build/bench/veltra-floor"
[ -x "$cli" ] && [ -x "$floor" ] || { echo "build veltra-cli and veltra-floor in $build first" >&2; exit 2; }
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-floor.XXXXXX")"
trap 'rm -rf "$work"' EXIT

fresh() {
    rm -rf "$work/client"
    cp -a "$work/source" "$work/client"
    sync
}

# Seconds taken by the command, to the millisecond.
timed() {
    local start end
    start=$EPOCHREALTIME
    "$@"
    end=$EPOCHREALTIME
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

runCli() {
    local status=0
    "$cli" --color=never "$work/client" >"$work/cli.log" || status=$?
    # 1 means the log holds error lines, which the collisions produce on purpose.
    [ "$status" -le 1 ] || { echo "veltra-cli failed with status $status" >&2; exit "$status"; }
}

runFloor() {
    "$floor" "$work/client" >"$work/floor.log"
}

median() {
    printf '%s\n' "$@" | sort -g | sed -n 2p
}

printf '%-10s %-8s %-26s %-26s %s\n' characters files "veltra-cli s (runs)" "veltra-floor s (runs)" ratio
for count in "${sizes[@]}"; do
    rm -rf "$work/source"
    python3 "$here/generate-client.py" "$work/source" "$count" --seed 1 >/dev/null
    files="$(find "$work/source/base/characters" -type f | wc -l)"
    cliTimes=()
    floorTimes=()
    for _ in 1 2 3; do
        fresh
        cliTimes+=("$(timed runCli)")
        fresh
        floorTimes+=("$(timed runFloor)")
    done

    duplicates="$(grep -c 'is a duplicate of' "$work/cli.log" || true)"
    floorDuplicates="$(sed -n 's/.* \([0-9]*\) duplicates deleted.*/\1/p' "$work/floor.log")"
    [ "$duplicates" = "$floorDuplicates" ] \
        || echo "warning: veltra-cli deleted $duplicates duplicates, the floor $floorDuplicates" >&2

    c="$(median "${cliTimes[@]}")"
    f="$(median "${floorTimes[@]}")"
    printf '%-10s %-8s %-26s %-26s %s\n' "$count" "$files" "$c (${cliTimes[*]})" "$f (${floorTimes[*]})" \
        "$(awk -v c="$c" -v f="$f" 'BEGIN { printf "%.2f", (f > 0 ? c / f : 0) }')"
done
