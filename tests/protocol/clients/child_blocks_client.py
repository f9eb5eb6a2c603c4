#!/usr/bin/python3
"""A client of show_children as a front end writes one: it drives the program through pipes,
splits a show_children reply at empty lines and takes the first line of each block as
"child N:". Walking a flop tree and a turn tree from the top, it
checks at every node it visits that the children are found in order, that each block is the
show_node block of the child's path, and that the count agrees with the node's own
"N children" line. Card children of a split are followed for the first and the last card only.

Usage: child_blocks_client.py PROGRAM DATA_DIR
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from program_session import PipeSession  # noqa: E402

TYPES = {"ROOT", "SPLIT_NODE", "OOP_DEC", "IP_DEC", "END_NODE"}
ACTION_LABEL = re.compile(r"^(f|c|b\d+)$")
CARD_LABEL = re.compile(r"^[2-9TJQKA][cdhs]$")


END = "<<end of reply>>"


class Client(PipeSession):
    """Replies end in an end string, as a front end sets one."""

    def ask(self, *lines):
        return [line for line in super().ask(*lines).splitlines() if line != END]


def blocks_of(reply):
    """The blocks of a reply whose every block ends in an empty line."""
    assert not reply or reply[-1] == "", "text after the last empty line: %r" % reply[-3:]
    return [block.split("\n") for block in "\n".join(reply[:-1]).split("\n\n")] if reply else []


def check_children(client, path):
    """Checks one node's children; returns their paths and types."""
    node = client.ask("show_node " + path)
    assert node[0] == path and node[1] in TYPES, node
    count = int(node[4].split()[0])
    children = []
    for index, block in enumerate(blocks_of(client.ask("show_children " + path))):
        assert block[0] == "child %d:" % index, (path, block[0])
        child_path, child_type = block[1], block[2]
        assert child_type in TYPES - {"ROOT"}, (child_path, child_type)
        if path == "r":
            assert child_path == "r:0", child_path
        else:
            prefix, _, label = child_path.rpartition(":")
            pattern = CARD_LABEL if node[1] == "SPLIT_NODE" else ACTION_LABEL
            assert prefix == path and pattern.match(label), (path, child_path)
        assert block[1:] == client.ask("show_node " + child_path), child_path
        children.append((child_path, child_type))
    expected = 0 if node[1] == "END_NODE" else count
    assert len(children) == expected, (path, len(children), count)
    return node[1], children


def walk(client):
    visited, pending = 0, ["r"]
    while pending:
        path = pending.pop()
        kind, children = check_children(client, path)
        visited += 1
        if kind == "SPLIT_NODE":
            children = [children[0], children[-1]]
        pending.extend(child for child, _ in reversed(children))
    return visited


def main():
    program, data_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    client = Client(program, 300)
    client.ask('set_end_string "%s"' % END)
    try:
        # Script lines are sent one by one: every line of a loaded script would end in the end string.
        def script(name):
            with open(os.path.join(data_dir, name)) as f:
                return [line.rstrip("\n") for line in f if line.strip()]
        games = {
            "turn": script("solver_turn_game.txt"),
            "flop": script("tree_ranges_bench.txt") + [
                "set_board QsJh2h", "clear_lines", "add_line 0 0 0 0 0 0", "add_line 0 0 30 30 60 60",
                "add_line 20 20 20 20", "build_tree"],
        }
        for name, commands in games.items():
            for command in commands:
                errors = [line for line in client.ask(command) if line.startswith("ERROR")]
                assert not errors, (command, errors)
            print("%s tree: %d nodes checked" % (name, walk(client)))
    finally:
        client.close()


if __name__ == "__main__":
    main()
