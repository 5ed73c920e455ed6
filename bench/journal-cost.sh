#!/usr/bin/env bash
# What keeping the journal costs: the same migration of a synthetic client
# with the journal and without it, side by side, medians of three runs, each
# on a fresh copy of the client (warm page cache).
#
#   bench/journal-cost.sh <build-dir> [N]      (default N: 2000 characters)
set -euo pipefail
program="$(realpath "$1")/bench/veltra-journalcost"
count="${2:-2000}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-journal-cost.XXXXXX")"
trap 'rm -rf "$work"' EXIT
python3 "$here/generate-client.py" "$work/source" "$count" >/dev/null

run() { # mode -> seconds of one run on a fresh copy
    rm -rf "$work/client" && cp -a "$work/source" "$work/client"
    local start end
    start="$(date +%s.%N)"
    "$program" "$1" "$work/client"
    end="$(date +%s.%N)"
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}
median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

journal=() bare=()
for _ in 1 2 3; do
    bare+=("$(run bare)")
    journal+=("$(run journal)")
done
b="$(median "${bare[@]}")"
j="$(median "${journal[@]}")"
printf '%d characters: without journal %.2f s, with journal %.2f s, ratio %.3f\n' \
    "$count" "$b" "$j" "$(awk -v a="$j" -v b="$b" 'BEGIN { print a / b }')"
