#!/usr/bin/env python3
"""Generates a synthetic legacy client for the benchmarks.

    bench/generate-client.py FOLDER [N] [--seed S]

Writes FOLDER/base/characters/<name>/ for N characters (default 100) and a
shared FOLDER/base/sounds/general/. Each character has a legacy char.ini of
10 to 40 emotions with options, sounds in the three forms ([Sound] "file#delay",
[SoundN] with [SoundT], and [SoundN] naming a file with its suffix or one
that does not exist), icons in emotions/, sprites, shout sounds and images,
some byte-identical duplicates and some colliding files. The same seed always
gives the same client.
"""

import argparse
import os
import random

SHOUTS = ["objection", "holdit", "takethat", "custom", "custom2"]
SIDES = ["def", "pro", "wit", "jud", "hld", "hlp"]
CHATS = ["default", "modern", "classic", "dark"]
BLIPS = ["male", "female", "typewriter", "robot"]
MOODS = ["normal", "happy", "sad", "angry", "thinking", "surprised", "smug", "nervous", "shout", "laugh",
         "pointing", "deskslam", "sweat", "confident", "crossed", "shocked", "bow", "wink", "cry", "stern"]
NAMES = ["Kit", "Mira", "Zo\u00eb", "Hal", "Ren\u00e9e", "Jun", "Oskar", "Pia", "Teo", "Yuki", "\u732b", "Ada"]
SUFFIXES = ["wav", "opus", "ogg", "mp3"]


class Client:
    def __init__(self, root, seed):
        self.root = root
        self.rng = random.Random(seed)
        self.files = 0

    def write(self, relative, content):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(content)
        self.files += 1

    def blob(self, low=200, high=2000):
        return self.rng.randbytes(self.rng.randint(low, high))


def general_sounds(client):
    names = []
    for i in range(300):
        name = "sfx-%s-%d" % (client.rng.choice(MOODS), i)
        client.write("base/sounds/general/%s.%s" % (name, client.rng.choice(SUFFIXES)), client.blob(500, 4000))
        names.append(name)
    return names


def options(rng, index):
    showname = rng.choice(NAMES)
    if index % 7 == 0:
        showname += ", the Bold"  # an unquoted comma: Qt reads it as a list
    lines = ["[Options]", "name=%s%d" % (showname.split(",")[0], index), "showname=%s" % showname,
             "side=%s" % rng.choice(SIDES), "gender=%s" % rng.choice(BLIPS)]
    if rng.random() < 0.7:
        lines.append("chat=%s" % rng.choice(CHATS))
    if rng.random() < 0.8:
        lines.append("shouts=%s" % rng.choice(["default", "custom", "loud"]))
    return lines


def emotion_line(rng, number, emote):
    name = emote if rng.random() < 0.9 else emote + ", again"
    preanim = rng.choice(["-", "-", emote + "_pre", "deskslam"])
    modifier = rng.choice(["0", "0", "1", "2", "5", "6", "PlayAnim|MirrorH", "257"])
    preset = rng.choice(["0", "1", "", "calm", "loud"])
    if rng.random() < 0.05:
        emote = "invisible"
    return "%d = %s#%s#%s#%s#%s" % (number, name, preanim, emote, modifier, preset)


def character(client, index, sounds):
    rng = client.rng
    name = "Char%05d" % index
    folder = "base/characters/%s/" % name
    count = rng.randint(10, 40)
    emotes = [rng.choice(MOODS) + ("" if rng.random() < 0.8 else str(rng.randint(1, 9))) for _ in range(count)]

    ini = options(rng, index) + ["", "[Time]", "deskslam = 8", "", "[Emotions]", "number = %d" % count]
    ini += [emotion_line(rng, i + 1, emotes[i]) for i in range(count)]

    # The three sound forms, one per character.
    form = index % 3
    sound_lines = []
    delay_lines = []
    for i in range(1, count + 1):
        if rng.random() < 0.4:
            continue
        sound = rng.choice(sounds) if rng.random() < 0.85 else "missing-%d" % i
        if form == 0:
            sound_lines.append("%d = %s#%d" % (i, sound, rng.randint(0, 20)))
        elif form == 1:
            sound_lines.append("%d = %s" % (i, sound))
            delay_lines.append("%d = %d" % (i, rng.randint(0, 60)))
        else:
            sound_lines.append("%d = %s.%s" % (i, sound, rng.choice(SUFFIXES)) if rng.random() < 0.5
                               else "%d = %s" % (i, sound))
    if form == 0:
        ini += ["", "[Sound]"] + sound_lines
    else:
        ini += ["", "[SoundN]"] + sound_lines
        if delay_lines:
            ini += ["", "[SoundT]"] + delay_lines
    client.write(folder + "char.ini", ("\r\n".join(ini) + "\r\n").encode("utf-8"))

    # Icons: one per emotion, button%d_off mostly, the number alone now and then.
    for i in range(1, count + 1):
        icon = "%d.png" if rng.random() < 0.1 else "button%d_off.png"
        client.write(folder + "emotions/" + icon % i, client.blob(100, 600))

    # Sprites: idle and talking images per distinct emote, a few pre-animations;
    # one character in four keeps them in "(a)" and "(b)" sub-folders.
    grouped = index % 4 == 3
    for emote in sorted(set(emotes)):
        for side in ("a", "b"):
            client.write(folder + ("(%s)/%s.gif" if grouped else "(%s)%s.gif") % (side, emote), client.blob())
        if rng.random() < 0.15:
            client.write(folder + "%s_pre.gif" % emote, client.blob())

    icon = client.blob(300, 900)
    client.write(folder + "char_icon.png", icon)
    if index % 11 == 0:
        client.write(folder + "actor.png", icon)  # byte-identical: deleted
    elif index % 13 == 0:
        client.write(folder + "actor.png", client.blob(300, 900))  # collision: kept

    for shout in rng.sample(SHOUTS, rng.randint(1, len(SHOUTS))):
        client.write(folder + "%s.wav" % shout, client.blob(1000, 5000))
    if rng.random() < 0.3:
        client.write(folder + "shouts/%s.opus" % rng.choice(SHOUTS), client.blob(1000, 3000))
        client.write(folder + "shouts/%s.gif" % rng.choice(SHOUTS), client.blob())

    # Duplicates and collisions with an earlier, half-finished migration.
    if index % 5 == 0:
        same = client.blob()
        client.write(folder + "leftover.png", same)
        client.write(folder + "sprites/leftover.png", same)
    if index % 17 == 0:
        client.write(folder + "clash.png", client.blob())
        client.write(folder + "sprites/clash.png", client.blob())
    if index % 9 == 0:
        client.write(folder + "misc/readme.txt", b"notes\n")

    # A second description holding only options, and now and then a scenario file.
    if index % 10 == 0:
        client.write(folder + "extra.ini", b"[Options]\r\nshowname=Other\r\n")
    if index % 25 == 0:
        client.write(folder + "more.ini",
                     b"[scenario]\r\ndisplay_icon = button1_off\r\nemote_file = normal ; idle\r\n"
                     b"sound_delay = 12\r\nrules = PlayAnim|MirrorH\r\n\r\n"
                     b"[scenario]\r\ndisplay_name = \"Hello, world\"\r\nemote_file = happy\r\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("count", nargs="?", type=int, default=100)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    client = Client(args.folder, args.seed)
    sounds = general_sounds(client)
    for index in range(args.count):
        character(client, index, sounds)
    print("%d characters, %d files in %s" % (args.count, client.files, args.folder))


if __name__ == "__main__":
    main()
