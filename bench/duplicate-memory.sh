#!/usr/bin/env bash
# Peak memory of comparing two large identical files.
#
#   bench/duplicate-memory.sh <veltra-cli> [MiB]
#
# Builds a client whose one character holds "char_icon.png" and a
# byte-identical "actor.png" of MiB mebibytes each (default 256), runs the
# headless program over it under /usr/bin/time -v and prints the peak
# resident memory. The comparison reads both files in bounded chunks, so the
# peak stays far below the files' size.
set -euo pipefail
cli="$(realpath "$1")"
size="${2:-256}"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-bench.XXXXXX")"
trap 'rm -rf "$work"' EXIT
character="$work/base/characters/Big"
mkdir -p "$character"
head -c "$((size * 1024 * 1024))" /dev/urandom >"$character/char_icon.png"
cp "$character/char_icon.png" "$character/actor.png"

/usr/bin/time -v "$cli" --color=never "$work" >"$work/log.txt" 2>"$work/time.txt"
grep -q "char_icon.png is a duplicate of actor.png" "$work/log.txt"
[ ! -e "$character/char_icon.png" ]

peak_kib="$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")"
elapsed="$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt")"
echo "two identical files of ${size} MiB: duplicate found, peak memory $((peak_kib / 1024)) MiB, wall clock ${elapsed}"
