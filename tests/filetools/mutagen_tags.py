#!/usr/bin/python3
# A second tag reader and writer for the tests: tags MP3 files the way other
# programs do (mutagen), and prints every frame and item it finds.
#   mutagen_tags.py make KIND FILE   KIND: v23 v24utf8 v24utf16 ape v1v2 picture
#   mutagen_tags.py dump FILE        KEY<TAB>VALUE lines, sorted
import sys

from mutagen.apev2 import APEv2, APENoHeaderError
from mutagen.id3 import (APIC, COMM, ID3, TALB, TCON, TIT2, TPE1, TRCK, TXXX, TYER,
                         TDRC, ID3NoHeaderError, Encoding)


def make(kind, path):
    if kind == "ape":
        tags = APEv2()
        tags["Title"] = "Ape Title"
        tags["Artist"] = "Ape Artist"
        tags["Album"] = "Ape Album"
        tags["Year"] = "1987"
        tags["Track"] = "5"
        tags["Genre"] = "Pop"
        tags["Catalog"] = "CAT-1"
        tags.save(path)
        return
    enc = {"v23": Encoding.LATIN1, "v24utf8": Encoding.UTF8,
           "v24utf16": Encoding.UTF16}.get(kind, Encoding.UTF8)
    tags = ID3()
    title = "Caf\u00e9 Title" if kind == "v23" else "\u041f\u0435\u0441\u043d\u044f \u2013 song"
    tags.add(TIT2(encoding=enc, text=[title]))
    tags.add(TPE1(encoding=enc, text=["The Artist"]))
    tags.add(TALB(encoding=enc, text=["Old Album"]))
    tags.add(TRCK(encoding=enc, text=["3/12"]))
    tags.add(TCON(encoding=enc, text=["Rock"]))
    tags.add(COMM(encoding=enc, lang="eng", desc="", text=["a comment"]))
    tags.add(TXXX(encoding=enc, desc="MOOD", text=["calm"]))
    if kind == "v23":
        tags.add(TYER(encoding=enc, text=["1999"]))
    else:
        tags.add(TDRC(encoding=enc, text=["1999-05-01"]))
    if kind == "picture":
        tags.add(APIC(encoding=Encoding.UTF8, mime="image/png", type=3, desc="cover",
                      data=bytes(range(256)) * 40))
    version = 3 if kind == "v23" else 4
    tags.save(path, v1=2 if kind == "v1v2" else 0, v2_version=version)


def dump(path):
    lines = []
    try:
        tags = ID3(path, translate=False)
        lines.append("version\t2.%d" % tags.version[1])
        for key, frame in tags.items():
            lines.append("frame:%s\t%r" % (key, frame))
            if hasattr(frame, "text") and frame.text:
                lines.append("text:%s\t%s" % (frame.FrameID, frame.text[0]))
    except ID3NoHeaderError:
        pass
    try:
        for key, value in APEv2(path).items():
            lines.append("ape:%s\t%s" % (key, value))
    except APENoHeaderError:
        pass
    sys.stdout.write("".join(line + "\n" for line in sorted(lines)))


if __name__ == "__main__":
    if sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    else:
        dump(sys.argv[2])
