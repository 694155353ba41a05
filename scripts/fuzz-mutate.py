#!/usr/bin/env python3
"""Writes a fixed set of mutated inputs for the fuzz smoke run.

    fuzz-mutate.py OUT_FOLDER COUNT SEED_FILE_OR_FOLDER... [--dict FILE] [--max-len N]

The inputs depend only on the seed files, COUNT, the dictionary and the fixed random seed, never
on the build, so every run of the smoke test tries the same inputs and gives the same verdict.
Mutations: flipped, set and removed bytes, cuts, repeated and swapped stretches, dictionary
words inserted, and two seeds spliced together.
"""
import os
import random
import sys


def seeds(paths, max_len):
    found = []
    for path in paths:
        if os.path.isdir(path):
            for name in sorted(os.listdir(path)):
                inner = os.path.join(path, name)
                if os.path.isfile(inner):
                    found += seeds([inner], max_len)
        elif os.path.isfile(path):
            with open(path, "rb") as f:
                data = f.read(max_len)
            if data:
                found.append(data)
    return found


def dictionary(path):
    words = []
    if not path:
        return words
    with open(path, "rb") as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith(b"#"):
                continue
            if b"=" in line and not line.startswith(b'"'):
                line = line.split(b"=", 1)[1]
            if line.startswith(b'"') and line.endswith(b'"'):
                words.append(line[1:-1].decode("unicode_escape").encode("latin-1"))
    return words


def mutate(rng, data, others, words):
    data = bytearray(data)
    for _ in range(rng.randint(1, 4)):
        kind = rng.randrange(8)
        at = rng.randrange(len(data) + 1)
        if kind == 0 and data:
            data[at % len(data)] ^= 1 << rng.randrange(8)
        elif kind == 1 and data:
            data[at % len(data)] = rng.choice([0, 0xFF, 0x7F, 0x80, rng.randrange(256)])
        elif kind == 2 and data:
            del data[at:at + rng.randint(1, 16)]
        elif kind == 3:
            del data[at:]
        elif kind == 4 and data:
            start = rng.randrange(len(data))
            piece = data[start:start + rng.randint(1, 64)]
            data[at:at] = piece * rng.randint(1, 4)
        elif kind == 5 and words:
            data[at:at] = rng.choice(words)
        elif kind == 6 and others:
            other = rng.choice(others)
            data = data[:at] + other[rng.randrange(len(other)):]
        elif kind == 7 and len(data) > 8:
            a = rng.randrange(len(data) - 4)
            b = rng.randrange(len(data) - 4)
            data[a:a + 4], data[b:b + 4] = data[b:b + 4], data[a:a + 4]
    return bytes(data)


def main(argv):
    args = []
    dict_path = None
    max_len = 1 << 20
    i = 0
    while i < len(argv):
        if argv[i] == "--dict":
            dict_path = argv[i + 1]
            i += 2
        elif argv[i] == "--max-len":
            max_len = int(argv[i + 1])
            i += 2
        else:
            args.append(argv[i])
            i += 1
    if len(args) < 3:
        sys.stderr.write(__doc__)
        return 2
    out, count, paths = args[0], int(args[1]), args[2:]
    found = seeds(paths, max_len)
    if not found:
        return 0
    words = dictionary(dict_path)
    rng = random.Random(20261208)
    os.makedirs(out, exist_ok=True)
    for n in range(count):
        data = mutate(rng, found[n % len(found)], found, words)[:max_len]
        with open(os.path.join(out, "mutation-%06d" % n), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
