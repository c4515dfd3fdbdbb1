#!/usr/bin/env python3
"""The files the facts benchmark reads.

    make_facts_set.py OUT [--files N] [--big MIB]

Encodes one 3-second sweep with lame (sox makes it), then writes N copies of
it into OUT/set/NN/, each dressed differently: no tag, ID3v1, ID3v2 with some
padding, both, or APE before ID3v1, with a title that names the copy, so no
two files are equal while every one holds the same audio. With --big it also
writes OUT/big1.mp3 and OUT/big2.mp3 of about MIB MiB each (the sweep's frames
repeated: still one valid stream) for the hashing figures.
"""
import argparse
import os
import struct
import subprocess
import tempfile


def sweep(bitrate):
    with tempfile.TemporaryDirectory() as tmp:
        wav, mp3 = os.path.join(tmp, "s.wav"), os.path.join(tmp, "s.mp3")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "3",
                        "sine", "100-8000", "vol", "0.5"], check=True)
        subprocess.run(["lame", "--quiet", "-b", str(bitrate), wav, mp3], check=True)
        with open(mp3, "rb") as f:
            return f.read()


def id3v1(title):
    return b"TAG" + title.encode()[:30].ljust(30, b"\0") + b"\0" * 94 + b"\x0c"


def id3v2(title, padding):
    text = b"\0" + title.encode()
    frame = b"TIT2" + struct.pack(">I", len(text)) + b"\0\0" + text
    size = len(frame) + padding
    syncsafe = bytes([(size >> 21) & 127, (size >> 14) & 127, (size >> 7) & 127, size & 127])
    return b"ID3\x03\0\0" + syncsafe + frame + b"\0" * padding


def ape(title):
    item = struct.pack("<II", len(title), 0) + b"Title\0" + title.encode()
    def block(flags):
        return b"APETAGEX" + struct.pack("<IIII", 2000, len(item) + 32, 1, flags) + b"\0" * 8
    return block(0xA0000000) + item + block(0x80000000)


def dressed(audio, n):
    title = "Song %d" % n
    kind = n % 5
    if kind == 0:
        return audio
    if kind == 1:
        return audio + id3v1(title)
    if kind == 2:
        return id3v2(title, 256) + audio
    if kind == 3:
        return id3v2(title, 0) + audio + id3v1(title)
    return audio + ape(title) + id3v1(title)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--files", type=int, default=10000)
    parser.add_argument("--big", type=int, default=0)
    args = parser.parse_args()
    audio = sweep(128)
    for n in range(args.files):
        folder = os.path.join(args.out, "set", "%02d" % (n % 100))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "song %05d.mp3" % n), "wb") as f:
            f.write(dressed(audio, n))
    for name in ("big1.mp3", "big2.mp3") if args.big else ():
        with open(os.path.join(args.out, name), "wb") as f:
            for _ in range(args.big * 1024 * 1024 // len(audio)):
                f.write(audio)


if __name__ == "__main__":
    main()
