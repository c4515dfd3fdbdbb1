#!/usr/bin/env python3
"""Makes many distinct MP3 files fast, for timing the search by sound on a
large collection: each file is MPEG frames of half-second pieces of the given
recordings, taken at random places and joined at frame boundaries, so no two
files share more than a piece here and there (a print item spans up to two
seconds, so almost every item of a file is a blend no other file has).

The pieces come from the recordings re-encoded once (22.05 kHz mono, 32
kbit/s, no bit reservoir, so a frame decodes without the frames before it).
Every `--copy-every`-th file is written a second time from a 48 kbit/s
encoding of the same pieces: those pairs are the only copies in the set.
Files are <work>/files/dNNN/sNNNNNN_a.mp3 (and _b.mp3 for the copy), a
thousand a folder. The same arguments always give the same files.

usage: splice_corpus.py WORK SOURCE_DIR... [--files N] [--seconds S]
                        [--piece S] [--copy-every N] [--seed N]
"""
import argparse
import concurrent.futures
import os
import random
import subprocess
import sys

BITRATES = {"a": "32", "b": "48"}
FRAME_SAMPLES = 576  # MPEG-2 layer III
RATE = 22050
# Bitrates (kbit/s) of MPEG-2/2.5 layer III by index, and sample rates.
MPEG2_KBPS = [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0]
MPEG2_RATES = {2: [22050, 24000, 16000], 0: [11025, 12000, 8000]}


def reencode(source, target, kbps):
    if os.path.exists(target):
        return
    subprocess.run(["lame", "--quiet", "--mp3input", "--nores", "-m", "m", "--resample", "22.05",
                    "-b", kbps, source, target + ".part"], check=True)
    os.replace(target + ".part", target)


def frames_of(data):
    """The frames of an MPEG-2 layer III stream, without lame's info frame."""
    pos = 0
    if data[:3] == b"ID3":
        size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
        pos = 10 + size
    frames = []
    while pos + 4 <= len(data):
        h = int.from_bytes(data[pos:pos + 4], "big")
        version = (h >> 19) & 3
        if (h >> 21) != 0x7FF or version not in MPEG2_RATES or ((h >> 17) & 3) != 1:
            break
        kbps = MPEG2_KBPS[(h >> 12) & 15]
        rate_index = (h >> 10) & 3
        if kbps == 0 or rate_index == 3:
            break
        length = 72000 * kbps // MPEG2_RATES[version][rate_index] + ((h >> 9) & 1)
        frame = data[pos:pos + length]
        if len(frame) < length:
            break
        if not (not frames and (b"Xing" in frame or b"Info" in frame)):
            frames.append(frame)
        pos += length
    return frames


def load_material(work, sources, jobs):
    names = sorted(os.path.basename(p) for d in sources for p in
                   (os.path.join(d, f) for f in os.listdir(d)) if p.endswith("_mono22.mp3"))
    paths = {os.path.basename(os.path.join(d, f)): os.path.join(d, f)
             for d in sources for f in os.listdir(d)}
    if not names:
        sys.exit("no *_mono22.mp3 in the sources")
    for variant in BITRATES:
        os.makedirs(os.path.join(work, "material", variant), exist_ok=True)
    with concurrent.futures.ThreadPoolExecutor(max_workers=jobs) as pool:
        for f in [pool.submit(reencode, paths[n], os.path.join(work, "material", v, n), k)
                  for n in names for v, k in BITRATES.items()]:
            f.result()
    material = {}
    for variant in BITRATES:
        material[variant] = []
        for n in names:
            with open(os.path.join(work, "material", variant, n), "rb") as f:
                material[variant].append(frames_of(f.read()))
    # A piece is taken at the same frames from both encodings; keep the
    # recordings whose two encodings have the same frame count.
    keep = [i for i in range(len(names))
            if len(material["a"][i]) == len(material["b"][i]) and material["a"][i]]
    return {v: [material[v][i] for i in keep] for v in BITRATES}


def plan(seed, index, material, frames, piece):
    rng = random.Random("%d/%d" % (seed, index))
    pieces = []
    while sum(n for _, _, n in pieces) < frames:
        m = rng.randrange(len(material))
        n = min(piece, frames - sum(n for _, _, n in pieces))
        if len(material[m]) < n:
            continue
        pieces.append((m, rng.randrange(len(material[m]) - n + 1), n))
    return pieces


def write(path, material, pieces):
    data = b"".join(b"".join(material[m][s:s + n]) for m, s, n in pieces)
    with open(path + ".part", "wb") as f:
        f.write(data)
    os.replace(path + ".part", path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("work")
    parser.add_argument("sources", nargs="+")
    parser.add_argument("--files", type=int, default=100000)
    parser.add_argument("--seconds", type=float, default=30.0)
    parser.add_argument("--piece", type=float, default=0.5)
    parser.add_argument("--copy-every", type=int, default=100)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 1)
    opts = parser.parse_args()
    material = load_material(opts.work, opts.sources, opts.jobs)
    frames = int(opts.seconds * RATE / FRAME_SAMPLES + 0.999)
    piece = max(1, round(opts.piece * RATE / FRAME_SAMPLES))
    index = written = 0
    while written < opts.files:
        folder = os.path.join(opts.work, "files", "d%03d" % (index // 1000))
        os.makedirs(folder, exist_ok=True)
        pieces = plan(opts.seed, index, material["a"], frames, piece)
        variants = "ab" if opts.copy_every and index % opts.copy_every == 0 else "a"
        for v in variants[:opts.files - written]:
            write(os.path.join(folder, "s%06d_%s.mp3" % (index, v)), material[v], pieces)
            written += 1
        index += 1


if __name__ == "__main__":
    main()
