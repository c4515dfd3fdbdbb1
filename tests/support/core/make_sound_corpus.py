#!/usr/bin/env python3
"""Makes a corpus of recordings, each in several encodings, for the tests and
benchmarks of the acoustic prints.

Every recording is a melody (notes of sox's synth at a tempo of its own) or a
spoken text (espeak-ng), and comes out as <name>_<variant>.mp3 where the
variants are: cbr128, cbr320, vbr4 (lame -V4), mono22 (22.05 kHz mono),
silence1s (one second of silence first) and trim05 (the first half second
cut). Files sharing the part before the first "_" are one recording.
The same arguments always give the same sound.

usage: make_sound_corpus.py OUT_DIR [--melodies N] [--speech N]
                            [--seconds S] [--seed N] [--variants a,b,...]
"""
import argparse
import concurrent.futures
import os
import random
import subprocess
import sys
import tempfile

VARIANTS = {
    "cbr128": ([], ["-b", "128"]),
    "cbr320": ([], ["-b", "320"]),
    "vbr4": ([], ["-V", "4"]),
    "mono22": (["rate", "22050", "channels", "1"], ["-b", "64", "-m", "m"]),
    "silence1s": (["pad", "1", "0"], ["-b", "128"]),
    "trim05": (["trim", "0.5"], ["-b", "128"]),
}

SCALES = [[0, 2, 4, 5, 7, 9, 11], [0, 2, 3, 5, 7, 8, 10], [0, 3, 5, 7, 10]]
SOUNDS = ["pluck", "sine", "square", "triangle", "sawtooth"]
WORDS = ("river stone morning quiet garden yellow window paper engine silver "
         "mountain orange pocket thunder candle harbour forest little winter "
         "machine number travel letter summer rabbit kitchen button castle "
         "shadow pepper bridge market hollow violet lantern marble feather").split()
VOICES = ["en", "en-us", "de", "fr", "es", "it", "nl", "sv"]


def run(args):
    subprocess.run(args, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def melody_master(rng, seconds, wav):
    """Notes of one scale and sound, at one tempo, until `seconds` are filled."""
    scale = rng.choice(SCALES)
    sound = rng.choice(SOUNDS)
    root = rng.randint(48, 60)
    beat = 60.0 / rng.randint(80, 180)
    total = 0.0
    notes = []
    while total < seconds:
        length = beat * rng.choice([0.5, 1, 1, 2])
        midi = root + rng.choice(scale) + 12 * rng.randint(0, 1)
        hertz = 440.0 * 2 ** ((midi - 69) / 12.0)
        notes.append((length, hertz))
        total += length
    # One sox run per note, joined after: sox's synth takes one tone per run.
    with tempfile.TemporaryDirectory() as tmp:
        parts = []
        for i, (length, hertz) in enumerate(notes):
            part = os.path.join(tmp, "n%04d.wav" % i)
            run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", part, "synth",
                 "%.3f" % length, sound, "%.2f" % hertz, "fade", "0.01", "%.3f" % length,
                 "0.05", "vol", "0.6"])
            parts.append(part)
        run(["sox"] + parts + [wav, "trim", "0", str(seconds)])


def speech_master(rng, seconds, wav, tmp):
    words = [rng.choice(WORDS) for _ in range(int(seconds * 3))]
    text = " ".join(words) + "."
    raw = os.path.join(tmp, "speech.wav")
    speed = str(rng.randint(140, 190))
    pitch = str(rng.randint(30, 70))
    run(["espeak-ng", "-v", rng.choice(VOICES), "-s", speed, "-p", pitch, "-w", raw, text])
    run(["sox", raw, "-r", "44100", "-c", "2", "-b", "16", wav, "trim", "0", str(seconds)])


def make_recording(out, name, kind, seed, seconds, variants):
    rng = random.Random("%s/%d" % (name, seed))
    with tempfile.TemporaryDirectory() as tmp:
        master = os.path.join(tmp, "master.wav")
        if kind == "melody":
            melody_master(rng, seconds, master)
        else:
            speech_master(rng, seconds, master, tmp)
        for variant in variants:
            effects, lame = VARIANTS[variant]
            source = master
            if effects:
                source = os.path.join(tmp, variant + ".wav")
                run(["sox", master, source] + effects)
            target = os.path.join(out, "%s_%s.mp3" % (name, variant))
            run(["lame", "--quiet"] + lame + [source, target + ".part"])
            os.replace(target + ".part", target)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out")
    parser.add_argument("--melodies", type=int, default=3)
    parser.add_argument("--speech", type=int, default=2)
    parser.add_argument("--seconds", type=float, default=15.0)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--variants", default=",".join(VARIANTS))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    opts = parser.parse_args()
    variants = [v for v in opts.variants.split(",") if v]
    unknown = [v for v in variants if v not in VARIANTS]
    if unknown:
        sys.exit("unknown variant: " + ", ".join(unknown))
    os.makedirs(opts.out, exist_ok=True)
    jobs = [("melody%03d" % i, "melody") for i in range(opts.melodies)]
    jobs += [("speech%03d" % i, "speech") for i in range(opts.speech)]
    with concurrent.futures.ThreadPoolExecutor(max_workers=opts.jobs) as pool:
        futures = [pool.submit(make_recording, opts.out, name, kind, opts.seed, opts.seconds,
                               variants) for name, kind in jobs]
        for future in futures:
            future.result()


if __name__ == "__main__":
    main()
