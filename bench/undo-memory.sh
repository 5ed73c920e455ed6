#!/usr/bin/env bash
# Peak memory and wall time of undoing a long run: a synthetic client whose
# journal records N created folders (default 1,000,000), each of which stands
# empty, so the undo removes every one of them. The dry undo runs first (it
# changes nothing), then the real one; both under /usr/bin/time. The undo
# reads its journal one record at a time, so the peak should stay far below
# what the journal's records would take held all at once.
#
#   bench/undo-memory.sh <build-dir> [N]
set -euo pipefail
cli="$(realpath "$1")/app/veltra-cli"
count="${2:-1000000}"

work="$(mktemp -d "${TMPDIR:-/tmp}/veltra-undo-memory.XXXXXX")"
trap 'rm -rf "$work"' EXIT
client="$work/client"

# The folders and the journal of the run that made them, oldest change first.
python3 - "$client" "$count" <<'EOF'
import json, os, sys
client, count = sys.argv[1], int(sys.argv[2])
characters = os.path.join(client, "base", "characters")
os.makedirs(characters)
os.makedirs(os.path.join(client, "veltra-journal"))
with open(os.path.join(client, "veltra-journal", "20260101T000000Z.jsonl"), "w") as journal:
    journal.write(json.dumps({"veltra": "bench", "started": "2026-01-01T00:00:00Z",
                              "client": client, "undo_of": None}, separators=(",", ":")) + "\n")
    for i in range(count):
        os.mkdir(os.path.join(characters, "c%d" % i))
        journal.write('{"op":"mkdir","path":"base/characters/c%d"}\n' % i)
    journal.write('{"op":"end","stopped":false,"errors":0}\n')
EOF

left() { find "$client/base/characters" -mindepth 1 -maxdepth 1 | wc -l; }

measure() { # label, then the options -> "<label>: <s> s, peak <MiB> MiB"
    local label="$1"
    shift
    local status=0
    /usr/bin/time -f '%M %e' -o "$work/time.txt" "$cli" --undo -q "$@" "$client" >"$work/log.txt" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 20 "$work/log.txt"
        echo "$label: veltra-cli exited with status $status" >&2
        exit 1
    fi
    read -r kib seconds <"$work/time.txt"
    printf '%s: %s s, peak %d MiB\n' "$label" "$seconds" "$((kib / 1024))"
}

measure "$count records, dry undo" -n
[ "$(left)" -eq "$count" ] || { echo "the dry undo changed the client" >&2; exit 1; }
measure "$count records, undo"
[ "$(left)" -eq 0 ] || { echo "the undo left $(left) folders" >&2; exit 1; }
