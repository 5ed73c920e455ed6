#!/usr/bin/env bash
# Throughput of the whole migration over a synthetic client.
#
#   bench/run-client-bench.sh <veltra-cli> [N]
#
# Generates a client of N characters (default 2000) with generate-client.py,
# runs the headless program over a fresh copy of it under /usr/bin/time -v
# and prints characters per second, user and system CPU seconds and the
# peak resident memory. The generated client is made once per run; the copy
# keeps the page cache warm for the program, not the generator.
set -euo pipefail
cli="$(realpath "$1")"
count="${2:-2000}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
python3 "$here/generate-client.py" "$work/source" "$count" >"$work/generated.txt"
cp -a "$work/source" "$work/client"

/usr/bin/time -v "$cli" --color=never "$work/client" >"$work/log.txt" 2>"$work/time.txt" || {
    status=$?
    # 1 means the log holds error lines, which the collisions produce on purpose.
    [ "$status" -eq 1 ] || { cat "$work/time.txt" >&2; exit "$status"; }
}

field() { awk -F': ' -v name="$1" '$1 ~ name {print $2}' "$work/time.txt"; }
user="$(field 'User time')"
system="$(field 'System time')"
peak_kib="$(field 'Maximum resident set size')"
elapsed="$(field 'Elapsed \\(wall clock\\)')"
seconds="$(awk -v t="$elapsed" 'BEGIN { n = split(t, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i]; print s }')"
converted="$(grep -c '^Converting ' "$work/log.txt" || true)"
tomls="$(find "$work/client/base/characters" -name '*.toml' | wc -l)"

echo "$(cat "$work/generated.txt")"
echo "characters: $count, descriptions converted: $converted, TOML files written: $tomls"
awk -v n="$count" -v s="$seconds" -v u="$user" -v y="$system" -v m="$peak_kib" 'BEGIN {
    printf "wall clock %.2f s, %.0f characters per second\n", s, (s > 0 ? n / s : 0)
    printf "user CPU %.2f s, system CPU %.2f s, peak memory %.1f MiB\n", u, y, m / 1024
}'
