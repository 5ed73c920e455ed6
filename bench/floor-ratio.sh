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
# of each and their ratio, the median CPU seconds (user + system) of each, and
# checks that both deleted the same number of duplicates, and the largest
# resident memory veltra-cli took in its three runs. Both programs flush
# every document to disk, so the wall-clock times follow the disk's other
# traffic; the CPU seconds do not.
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

# Runs the command with its standard output in $1; sets `wall` and `cpu` to
# the wall-clock and the CPU (user + system) seconds it took.
timed() {
    local out="$1" status=0
    shift
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$out" || status=$?
    # 1 means the log holds error lines, which the collisions produce on purpose.
    [ "$status" -le 1 ] || { echo "$1 failed with status $status" >&2; exit "$status"; }
    # The last line: a status other than 0 comes first, on a line of its own.
    read -r wall cpu peak < <(awk 'END { printf "%.2f %.2f %d\n", $1, $2 + $3, $4 / 1024 }' "$work/time")
}

median() {
    printf '%s\n' "$@" | sort -g | sed -n 2p
}

printf '%-10s %-7s %-24s %-24s %-6s %-9s %-11s %s\n' characters files "veltra-cli s (runs)" "veltra-floor s (runs)" \
    ratio "cli CPU s" "floor CPU s" "cli MiB"
for count in "${sizes[@]}"; do
    rm -rf "$work/source"
    python3 "$here/generate-client.py" "$work/source" "$count" --seed 1 >/dev/null
    files="$(find "$work/source/base/characters" -type f | wc -l)"
    cliTimes=() cliCpu=() floorTimes=() floorCpu=() cliPeak=0
    for _ in 1 2 3; do
        fresh
        timed "$work/cli.log" "$cli" --color=never --quiet "$work/client"
        cliTimes+=("$wall") cliCpu+=("$cpu")
        [ "$peak" -le "$cliPeak" ] || cliPeak="$peak"
        fresh
        timed "$work/floor.log" "$floor" "$work/client"
        floorTimes+=("$wall") floorCpu+=("$cpu")
    done

    duplicates="$(grep -c 'is a duplicate of' "$work/cli.log" || true)"
    floorDuplicates="$(sed -n 's/.* \([0-9]*\) duplicates deleted.*/\1/p' "$work/floor.log")"
    [ "$duplicates" = "$floorDuplicates" ] \
        || echo "warning: veltra-cli deleted $duplicates duplicates, the floor $floorDuplicates" >&2

    c="$(median "${cliTimes[@]}")"
    f="$(median "${floorTimes[@]}")"
    printf '%-10s %-7s %-24s %-24s %-6s %-9s %-11s %s\n' "$count" "$files" "$c (${cliTimes[*]})" \
        "$f (${floorTimes[*]})" "$(awk -v c="$c" -v f="$f" 'BEGIN { printf "%.2f", (f > 0 ? c / f : 0) }')" \
        "$(median "${cliCpu[@]}")" "$(median "${floorCpu[@]}")" "$cliPeak"
done
