#!/usr/bin/python3
"""A client of show_children as a front end writes one: it drives the program through pipes with an
end string set, splits a show_children reply at empty lines and takes the first line of each block
as "child N:". Walking a flop tree and a turn tree from the top, it checks at every node it visits
that the children are found in order, that each block is the show_node block of the child's path,
and that the count agrees with the node's own "N children" line. Card children of a split are
followed for the first and the last card only.

Usage: child_blocks_client.py PROGRAM DATA_DIR
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from program_session import PipeSession  # noqa: E402

TYPES = {"ROOT", "SPLIT_NODE", "OOP_DEC", "IP_DEC", "END_NODE"}
# The last part of a child's path, by the type of its parent.
LABELS = {"ROOT": re.compile(r"^0$"), "SPLIT_NODE": re.compile(r"^[2-9TJQKA][cdhs]$")}
ACTION_LABEL = re.compile(r"^(f|c|b\d+)$")
END = "<<end of reply>>"


def ask(client, line):
    return [reply for reply in client.ask(line).splitlines() if reply != END]


def check_children(client, path):
    """Checks one node's children; returns the node's type and their paths."""
    node = ask(client, "show_node " + path)
    assert node[0] == path and node[1] in TYPES, node
    reply = ask(client, "show_children " + path)
    assert not reply or reply[-1] == "", "text after the last empty line: %r" % reply[-3:]
    blocks = [block.split("\n") for block in "\n".join(reply[:-1]).split("\n\n")] if reply else []
    for index, block in enumerate(blocks):
        assert block[0] == "child %d:" % index, (path, block[0])
        prefix, _, label = block[1].rpartition(":")
        assert block[2] in TYPES - {"ROOT"}, block[1:3]
        assert prefix == path and LABELS.get(node[1], ACTION_LABEL).match(label), (path, block[1])
        assert block[1:] == ask(client, "show_node " + block[1]), block[1]
    expected = 0 if node[1] == "END_NODE" else int(node[4].split()[0])
    assert len(blocks) == expected, (path, len(blocks), expected)
    return node[1], [block[1] for block in blocks]


def walk(client):
    visited, pending = 0, ["r"]
    while pending:
        kind, children = check_children(client, pending.pop())
        visited += 1
        pending.extend(reversed([children[0], children[-1]] if kind == "SPLIT_NODE" else children))
    return visited


def main():
    program, data_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    client = PipeSession(program, 300)
    try:
        client.ask('set_end_string "%s"' % END)

        # Script lines are sent one by one: every line of a loaded script would end in the end string.
        def script(name):
            with open(os.path.join(data_dir, name)) as f:
                return [line.rstrip("\n") for line in f if line.strip()]
        flop = script("tree_ranges_bench.txt") + ["set_board QsJh2h", "clear_lines", "add_line 0 0 0 0 0 0",
                                                  "add_line 0 0 30 30 60 60", "add_line 20 20 20 20", "build_tree"]
        for name, commands in (("turn", script("solver_turn_game.txt")), ("flop", flop)):
            for command in commands:
                errors = [line for line in ask(client, command) if line.startswith("ERROR")]
                assert not errors, (command, errors)
            print("%s tree: %d nodes checked" % (name, walk(client)))
    finally:
        client.close()


if __name__ == "__main__":
    main()
