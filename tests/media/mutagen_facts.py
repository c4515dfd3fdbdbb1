#!/usr/bin/python3
# The facts of each MP3 named on the command line as python3-mutagen reads
# them, one tab-separated line each: size, length in ms, bitrate in kbit/s,
# sample rate, channels, and 0/1 for ID3v1, ID3v2 and APE. A second reader
# to hold the program's own facts against.
import os
import sys

import mutagen.apev2
import mutagen.id3
import mutagen.mp3
from mutagen.id3 import _id3v1


def has_v2(path):
    try:
        mutagen.id3.ID3(path, load_v1=False)
        return 1
    except mutagen.id3.ID3NoHeaderError:
        return 0


def has_v1(path):
    with open(path, "rb") as f:
        tag, _ = _id3v1.find_id3v1(f)
    return 0 if tag is None else 1


def has_ape(path):
    try:
        mutagen.apev2.APEv2(path)
        return 1
    except mutagen.apev2.APENoHeaderError:
        return 0


for path in sys.argv[1:]:
    info = mutagen.mp3.MP3(path).info
    print("\t".join(str(v) for v in (
        os.path.getsize(path), round(info.length * 1000), round(info.bitrate / 1000),
        info.sample_rate, info.channels, has_v1(path), has_v2(path), has_ape(path))))
