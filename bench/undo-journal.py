#!/usr/bin/env python3
"""A made-up client and the journal of a run over it, for bench/undo-memory.sh.

    undo-journal.py CLIENT N mkdir|gone

mkdir: the run created N folders, 100 in each character folder, which stand
empty; gone: the run moved N files that are no longer
anywhere, so undoing each one is an error line.
"""
import json
import os
import sys

client, count, kind = sys.argv[1], int(sys.argv[2]), sys.argv[3]
characters = os.path.join(client, "base", "characters")
os.makedirs(characters)
os.makedirs(os.path.join(client, "veltra-journal"))
with open(os.path.join(client, "veltra-journal", "20260101T000000Z.jsonl"), "w") as journal:
    header = {"veltra": "bench", "started": "2026-01-01T00:00:00Z", "client": "client", "undo_of": None}
    journal.write(json.dumps(header, separators=(",", ":")) + "\n")
    for i in range(count):
        if kind == "mkdir":
            # As a run records them: a character folder at a time, 100 records each.
            character = "base/characters/c%d" % (i // 100)
            if i % 100 == 0:
                os.mkdir(os.path.join(client, character))
            folder = "%s/f%d" % (character, i % 100)
            os.mkdir(os.path.join(client, folder))
            journal.write('{"op":"mkdir","path":"%s"}\n' % folder)
        else:
            journal.write('{"op":"move","from":"base/characters/c%d/a.png",'
                          '"to":"base/characters/c%d/sprites/a.png"}\n' % (i, i))
    journal.write('{"op":"end","stopped":false,"errors":0,"changes":%d}\n' % count)
