#!/usr/bin/env bash
# A preview set against the run it previews.
#
#   bench/dry-run.sh <build-dir> [N]
#
# Generates a client of N characters (default 3000) with generate-client.py
# and runs veltra-cli over fresh copies of it three times with --dry-run and
# three times for real, side by side. Prints the median wall-clock seconds and
# peak memory of each and their ratios. Asserts nothing.
set -euo pipefail
cli="$(realpath "$1/app/veltra-cli")"
count="${2:-3000}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-dryrun.XXXXXX")"
trap 'rm -rf "$work"' EXIT
python3 "$here/generate-client.py" "$work/source" "$count" >/dev/null

# One run over a fresh copy: "seconds KiB".
measure() {
    rm -rf "$work/client"
    cp -a "$work/source" "$work/client"
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$cli" "$@" -q --color=never "$work/client" >/dev/null || {
        status=$?
        # 1 means the log holds error lines, which the collisions produce on purpose.
        [ "$status" -eq 1 ] || exit "$status"
    }
    # time adds a line of its own for a non-zero status.
    grep -E '^[0-9]' "$work/time.txt"
}
median() { sort -n | sed -n 2p; }

for kind in dry real; do
    : >"$work/$kind.txt"
    for _ in 1 2 3; do
        if [ "$kind" = dry ]; then measure --dry-run; else measure; fi >>"$work/$kind.txt"
    done
done
dry_s="$(cut -d' ' -f1 "$work/dry.txt" | median)"
real_s="$(cut -d' ' -f1 "$work/real.txt" | median)"
dry_mib="$(( $(cut -d' ' -f2 "$work/dry.txt" | median) / 1024 ))"
real_mib="$(( $(cut -d' ' -f2 "$work/real.txt" | median) / 1024 ))"
printf '%-10s %-10s %-10s %-8s %-10s %-10s %s\n' characters "dry s" "run s" ratio "dry MiB" "run MiB" "MiB over"
printf '%-10s %-10s %-10s %-8s %-10s %-10s %s\n' "$count" "$dry_s" "$real_s" \
    "$(awk -v a="$dry_s" -v b="$real_s" 'BEGIN { printf "%.2f", a / b }')" "$dry_mib" "$real_mib" \
    "$((dry_mib - real_mib))"
