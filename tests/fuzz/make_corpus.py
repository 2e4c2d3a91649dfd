#!/usr/bin/env python3
"""Writes the seed corpus of the API fuzzer into tests/fuzz/corpus/.

One input per operation of the interpreter (seed-<Name>): a few canvases and
textures, then calls of that operation with seeded random argument bytes,
mixed with calls of others; and a few inputs of random operations (seed-mix-N).
The operation ids are read from the table in api_program.cpp. Inputs named
regress-* (crashes found by fuzzing) are left as they are.

Usage: tests/fuzz/make_corpus.py
"""
import pathlib
import random
import re

HERE = pathlib.Path(__file__).resolve().parent
CORPUS = HERE / "corpus"


def operations():
    text = (HERE / "api_program.cpp").read_text()
    return [(int(i), name) for i, name in re.findall(r'\{(\d+), "([^"]+)", (?:true|false), ', text)]


def op(op_id, args):
    assert len(args) < 256
    return bytes([op_id, len(args)]) + bytes(args)


def setup(ids):
    # Size selector 0: sides 1 + byte % 40; parent selector 0: a live canvas.
    out = b""
    for w, h, seed in ((24, 20, 1), (13, 7, 2)):
        out += op(ids["CreateCanvas"], [0, w - 1, h - 1, 0, seed])
    for w, h, seed in ((16, 16, 3), (5, 9, 4), (1, 1, 6), (32, 3, 8)):
        out += op(ids["CreateTexture"], [0, w - 1, h - 1, seed])
    if "CreateDeviceSurface" in ids:
        out += op(ids["CreateDeviceSurface"], [0, 29, 19])
    return out


def random_call(rng, op_id):
    return op(op_id, [rng.randrange(256) for _ in range(rng.randrange(24, 120))])


def main():
    ops = operations()
    ids = {name: i for i, name in ops}
    CORPUS.mkdir(exist_ok=True)
    for f in CORPUS.glob("seed-*"):
        f.unlink()
    # Calls that remove objects are left out of the mix, and the objects are
    # made again every few calls, so that most calls meet live objects.
    removing = {"DeleteCanvas", "DeleteTexture", "DeleteDeviceSurface", "CanvasToTexture"}
    mix = [i for i, name in ops if name not in removing]
    for op_id, name in ops:
        rng = random.Random(name)
        data = b""
        for n in range(24):
            if n % 6 == 0:
                data += setup(ids)
            data += random_call(rng, op_id)
            if rng.randrange(3) == 0:
                data += random_call(rng, rng.choice(mix))
        safe = re.sub(r"[^A-Za-z0-9]", "", name) or "op"
        (CORPUS / f"seed-{safe}").write_bytes(data)
    for n in range(6):
        rng = random.Random(1000 + n)
        data = setup(ids)
        for _ in range(80):
            data += random_call(rng, rng.choice(ops)[0])
        (CORPUS / f"seed-mix-{n}").write_bytes(data)


if __name__ == "__main__":
    main()
