#!/usr/bin/env python3
"""Writes the deterministic random input of the interpreter_random_bytes protocol test.

The bytes lean towards the characters the tokenizer treats specially (blanks, quotes, $, #, CR,
LF) and towards lower-case words, so that they reach deep into dispatch. A seed is accepted only
if no line starts with a real command word (or exit, or a $name of a start-up variable): the test
must exercise the error paths without ever running a command that ends the process, sleeps or
redirects output. Usage: make_random_input.py COMMAND_TABLE_CPP OUTPUT
"""
import random
import re
import sys

SPECIAL = b' "$#\r\n\t_' + bytes(range(ord('a'), ord('z') + 1)) + b'0123456789'
STARTUP_VARIABLES = ['build', 'build_date', 'build_time', 'cpu_vendor', 'cpu_brand',
                     'cpu_instruction_set', 'operating_system']
SIZE = 48 * 1024


def tokenize(line):
    tokens, current, quoted = [], b'', False
    for c in line:
        ch = bytes([c])
        if quoted:
            if ch == b'"':
                tokens.append(current); current = b''; quoted = False
            else:
                current += ch
        elif ch == b' ':
            tokens.append(current); current = b''
        elif ch == b'"':
            quoted = True
        else:
            current += ch
    tokens.append(current)
    return [t for t in tokens if t]


def lines_of(data):
    return re.split(rb'\r\n|\r|\n', data)


def generate(seed):
    rng = random.Random(seed)
    out = bytearray()
    while len(out) < SIZE:
        if rng.random() < 0.4:
            out.append(rng.randrange(256))
        else:
            out.append(SPECIAL[rng.randrange(len(SPECIAL))])
    return bytes(out)


def main():
    table = open(sys.argv[1], encoding='utf-8').read()
    forbidden = {w.encode() for w in re.findall(r'\{"([a-z0-9_]+)", cmd', table)}
    forbidden |= {b'exit'} | {b'$' + v.encode() for v in STARTUP_VARIABLES}
    for seed in range(1000):
        data = generate(seed)
        if all(not (t := tokenize(l)) or t[0] not in forbidden for l in lines_of(data)):
            open(sys.argv[2], 'wb').write(data)
            print(f'seed {seed}: {len(lines_of(data))} lines')
            return
    sys.exit('no clean seed found')


if __name__ == '__main__':
    main()
