#!/usr/bin/env bash
# Peak memory and wall time of undoing a long run, beside the peak memory of
# migrating a client of 2,000 characters, the yardstick: an undo of any
# length should stay within it plus 20 MiB.
#
# Two journals of N records each (default 1,000,000):
# - N created folders, 100 in each character folder, recorded a character at
#   a time as a run records them, which stand empty, so the undo removes
#   every one of them;
# - N moves whose files are gone, so every record becomes an error line: the
#   undo hands its lines on as they come and keeps none.
# Each is undone dry (`-n`, nothing changes) and then for real, under
# /usr/bin/time. The undo reads its journal back a window at a time, so its
# peak stays flat in the number of records and of error lines.
#
#   bench/undo-memory.sh <build-dir> [N]
set -euo pipefail
cli="$(realpath "$1")/app/veltra-cli"
count="${2:-1000000}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-undo-memory.XXXXXX")"
trap 'rm -rf "$work"' EXIT
client="$work/client"

python3 "$here/generate-client.py" "$work/yardstick" 2000 >/dev/null
/usr/bin/time -f '%M' -o "$work/time.txt" "$cli" -q "$work/yardstick" >/dev/null 2>&1 || true
yardstick_kib="$(tail -n 1 "$work/time.txt")"
rm -rf "$work/yardstick"
printf 'a run of 2000 characters: peak %d MiB\n' "$((yardstick_kib / 1024))"

# A client and the journal of a run over it, oldest change first: "mkdir"
# makes the folders it records; "gone" records moves of files that are not there.
make_client() {
    rm -rf "$client"
    python3 "$here/undo-journal.py" "$client" "$count" "$1"
}

left() { find "$client/base/characters" -mindepth 2 -maxdepth 2 | wc -l; }

peak_kib=0
measure() { # label, the exit status expected, then options -> "<label>: <s> s, peak <MiB> MiB"
    local label="$1" expected="$2"
    shift 2
    local status=0
    /usr/bin/time -f '%M %e' -o "$work/time.txt" "$cli" --undo -q "$@" "$client" >"$work/log.txt" 2>&1 \
        || status=$?
    if [ "$status" -ne "$expected" ]; then
        tail -n 20 "$work/log.txt"
        echo "$label: veltra-cli exited with status $status" >&2
        exit 1
    fi
    read -r kib seconds < <(tail -n 1 "$work/time.txt")
    if [ "$kib" -gt "$peak_kib" ]; then peak_kib="$kib"; fi
    printf '%s: %s s, peak %d MiB\n' "$label" "$seconds" "$((kib / 1024))"
}

make_client mkdir
measure "$count records, dry undo" 0 -n
[ "$(left)" -eq "$count" ] || { echo "the dry undo changed the client" >&2; exit 1; }
measure "$count records, undo" 0
[ "$(left)" -eq 0 ] || { echo "the undo left $(left) folders" >&2; exit 1; }

make_client gone
measure "$count error lines, dry undo" 1 -n
lines="$(grep -c '\[ERROR\] cannot move' "$work/log.txt" || true)"
[ "$lines" -eq "$count" ] || { echo "the dry undo told $lines of $count error lines" >&2; exit 1; }
measure "$count error lines, undo" 1

printf 'the highest undo peak: %d MiB, %+d MiB beside the run of 2000 characters\n' \
    "$((peak_kib / 1024))" "$(((peak_kib - yardstick_kib) / 1024))"
