#!/usr/bin/python3
"""A careless and hostile client: it drives the program through pipes with a random mix of valid
command lines, mutated ones (arguments replaced by hostile values, dropped, repeated or swapped,
command words exchanged) and lines of random bytes, in every state a session goes through: no
tree, a built tree, a solve running in the background, a stopped solve, a freed tree; the flop
game runs at the compression levels that pack its river records. After each line it sends
"end_if" and an echo, and waits for the echo: the program must answer every line within the
time-out, never end on its own, leave no sanitizer report on standard error and keep its memory
bounded.

Usage: random_session_client.py PROGRAM DATA_DIR [SECONDS [SEED]]
The run lasts SECONDS (default: $QUORVANE_SESSION_SECONDS, else 20) with SEED (default 2122); on
a failure it prints the last lines sent, which replay the session up to the failure.
"""
import os
import random
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from program_session import PipeSession  # noqa: E402

REPLY_TIMEOUT = 300          # seconds for one line; the sanitizer builds run several times slower
MEMORY_LIMIT_MB = 3072       # peak resident memory allowed to the whole session
SANITIZER_MARKS = ("AddressSanitizer", "UndefinedBehaviorSanitizer", "ThreadSanitizer",
                   "LeakSanitizer", "runtime error:")

PLAYERS = ["OOP", "IP", "hero", "villain"]
CARDS = [r + s for r in "23456789TJQKA" for s in "cdhs"]
HOSTILE = ["", "0", "-1", "1", "2", "-3", "1e308", "-1e308", "nan", "-nan", "inf", "-inf", "1e-320",
           "99999999999", "2147483647", "-2147483648", "4294967296", "0x10", "3.5e35", "1e39",
           "100000", "40000", "200000000", "r", "r:0", "r:0:c", "r::0", "r:0:b", "r:0:bnan",
           "r:0:b1e308", "r:0:c:c:2c", "r:0:c:c:Ah:c:c:Ah", "AhAh", "Ahx", "10h", "$x", "$", "#",
           "\"", "a b", "end_if", "LABEL:", "fraction", "block", "steps", "seconds", "turns",
           "rivers", "OOP", "IP", "\udcff\udcfe", "\u00e9", "x" * 300, "9" * 400]
# Random lines keep to bytes that spell no command word (nor exit), so they only reach the error
# paths; a carriage return splits a line in two.
BYTES = [b for b in range(256) if b != 10 and not ord("d") <= b <= ord("z")]
GAMES = ["solver_river_game.txt", "queries_river_game.txt", "solver_turn_game.txt"]
# Flop trees keep their river records packed at the levels from "low" to "max".
LEVELS = ["auto", "none", "low", "medium", "high", "max", "fast"]
PACKED_LEVELS = ["low", "medium", "high", "max"]
SMALL_FLOP = ["set_board QsJh2h", "clear_lines", "add_line 0 0 0 0 0 0", "add_line 50 50 50 50 100 100",
              "build_tree"]
# Commands that take a path, a player and a path, or nothing that varies.
PATH_WORDS = ["show_node", "show_children", "show_strategy", "show_strategy_pp", "show_locked_combos", "show_probs",
              "calc_line_freq", "calc_global_freq", "lock_node", "unlock_node", "cut_line", "solve_partial",
              "explo_partial"]
PLAYER_PATH_WORDS = ["calc_ev", "calc_ev_pp", "calc_ev_line", "calc_eq_node", "show_range"]
PLAIN_LINES = ["show_stats", "calc_results", "node_count", "show_all_lines", "is_tree_present", "show_tree_params",
               "show_effective_stack", "estimate_schematic_tree", "show_memory", "get_actual_compression",
               "clear_lines", "build_tree", "free_tree", "rebuild_all", "set_recalc_accuracy 0.1 0.1 0.1",
               "show_category_names", "show_hand_order", "show_version", "help", "show_cpu_info",
               "verify_value x 5 0.5", "get_all_values", "show_tree_info", "reset_tree_info", "is_ready",
               "solver_time", "show_perf_counters", "stop", "go 1 seconds", "dump_tree out.tree",
               "load_tree out.tree", "show_metadata out.tree"]
CATEGORIES = ["highcard", "pair", "twopair", "trips", "straight", "flush", "fullhouse", "quads", "straightflush"]
SHORT_DECK_TURN = ["set_low_card 6", "set_range OOP " + " ".join(["1"] * 1326),
                   "set_range IP " + " ".join(["1"] * 1326), "set_board QsJh9h8d", "clear_lines",
                   "add_line 0 0 0 0", "add_line 0 0 50 50", "add_line 100 100", "build_tree",
                   "set_low_card 2"]


class Generator:
    def __init__(self, rng):
        self.r = rng

    def path(self):
        r = self.r
        if r.random() < 0.15:
            return r.choice(["r", "r:0"])
        if r.random() < 0.2:
            # a river decision of the flop game (or of nothing, in the others)
            street = r.choice(["c:c", "b50:c"])
            return ":".join(["r", "0", street, r.choice(CARDS), street, r.choice(CARDS)] + r.choice([[], ["c"], ["b100"]]))
        tokens = ["r", "0"]
        for _ in range(r.randint(0, 7)):
            tokens.append(r.choice(["c", "c", "f", "b33", "b50", "b75", "b83", "b100", "b125", "b200",
                                    r.choice(CARDS), "b" + str(r.randint(0, 300))]))
        return ":".join(tokens)

    def weights(self, style=None):
        r = self.r
        style = style or r.choice(["ones", "random", "zero", "mixed"])
        if style == "ones":
            return " ".join(["1"] * 1326)
        if style == "zero":
            return " ".join(["0"] * 1326)
        if style == "random":
            return " ".join("%.3g" % r.random() for _ in range(1326))
        return " ".join(r.choice(["0", "1", "0.5", "2"]) for _ in range(1326))

    def amounts(self):
        level, out = 0, []
        for _ in range(self.r.randint(1, 6)):
            level += self.r.choice([0, 0, 20, 33, 50, 100])
            out.append(str(level))
        return " ".join(out)

    def valid(self):
        r = self.r
        p, path = r.choice(PLAYERS[:2]), self.path()
        fixed = [word + " " + path for word in PATH_WORDS] + PLAIN_LINES
        fixed += ["%s %s %s" % (word, p, path) for word in PLAYER_PATH_WORDS]
        varying = [
            lambda: "calc_eq " + p, lambda: "calc_eq_pp " + p, lambda: "show_stats 0.01 " + p,
            lambda: "set_strategy %s %d %s" % (path, r.randint(0, 3), self.weights()),
            lambda: "set_strategy %s %s" % (path, " ".join(self.weights() for _ in range(r.randint(2, 4)))),
            lambda: "combo_lock_node %s %s" % (path, self.weights("mixed")),
            lambda: "set_ev_boost %s %s" % (path, r.choice(["0.5", "-0.5", "1", "2"])),
            lambda: "set_compression %d" % r.randint(-1, 5), lambda: "set_compression " + r.choice(LEVELS + PACKED_LEVELS),
            lambda: "set_range %s %s" % (p, self.weights()), lambda: "set_board " + " ".join(r.sample(CARDS, r.randint(3, 5))),
            lambda: "set_pot 0 0 %d" % r.choice([50, 100, 1000]), lambda: "add_line " + self.amounts(),
            lambda: "force_line " + self.amounts(), lambda: "remove_line " + self.amounts(),
            lambda: "set_rake 0.05 %d" % r.randint(0, 10), lambda: "forget " + r.choice(["turns", "rivers"]),
            lambda: "solve_all_splits " + r.choice(["turns", "rivers"]),
            lambda: "set_threads %d" % r.randint(-1, 4), lambda: "set_info_freq %d" % r.randint(1, 30),
            lambda: "set_accuracy %g %s" % (r.random(), r.choice(["", "fraction"])),
            lambda: "set_simd_level %d" % r.randint(1, 16),
            lambda: "set_eval_mode %d" % r.randint(0, 3), lambda: "set_eval_cap %d" % r.randint(1, 100),
            lambda: "set_eval_flag alt1 %d" % r.randint(0, 1), lambda: "set_precision %g" % r.uniform(-2, 2),
            lambda: "set_prefetch_mode %d" % r.randint(0, 2), lambda: "set_isomorphism %d %d" % (r.randint(0, 1), r.randint(0, 1)),
            lambda: "enable_%s %d" % (r.choice(["adaptive_precision", "river_strategy", "ui_notifications",
                                                 "progress_bar", "perf_counters", "avx512", "numa"]), r.randint(0, 1)),
            lambda: "set_low_card %d" % r.randint(2, 6), lambda: "set_must_use_hole_cards %d" % r.randint(0, 2),
            lambda: "set_hand_type_order " + " ".join(r.sample(CATEGORIES, 9)),
            lambda: "set_deck_distribution " + " ".join("%.2f" % r.random() for _ in range(52)),
            lambda: "eval_hand " + "".join(r.sample(CARDS, r.randint(5, 7))),
            lambda: "show_categories " + "".join(r.sample(CARDS, 3)),
            lambda: "set_value x %s" % r.choice(["5", "r:0", "OOP", "show_node", "1e308"]),
            lambda: "get_value " + r.choice(["x", "solver_exploitability", "missing"]),
            lambda: "echo " + " ".join(r.choice(HOSTILE[:20]) for _ in range(r.randint(1, 5))),
            lambda: "repeat %d %s" % (r.randint(1, 50), "y" * r.randint(1, 100)),
            lambda: 'if_match %s "%s"' % ("a" * r.randint(0, 60) + "b", r.choice(["^(a|a)*\\1$", "a+b", "(", "^b"])),
            lambda: "add_info_line #Board#" + " ".join(r.sample(CARDS, 3)), lambda: "sleep %d" % r.randint(0, 20),
            lambda: "go %d steps" % r.randint(1, 30), lambda: "go %d steps block" % r.randint(0, 5),
        ]
        pick = r.randrange(len(fixed) + len(varying))
        return fixed[pick] if pick < len(fixed) else varying[pick - len(fixed)]()

    def mutate(self, line):
        r = self.r
        tokens = line.split()  # quotes stay on their tokens
        word, args = tokens[0], tokens[1:]
        for _ in range(r.randint(1, 3)):
            kind = r.random()
            if args and kind < 0.35:
                args[r.randrange(len(args))] = r.choice(HOSTILE)
            elif args and kind < 0.5:
                del args[r.randrange(len(args))]
            elif args and kind < 0.6:
                i = r.randrange(len(args))
                args.insert(i, args[i])
            elif len(args) > 1 and kind < 0.7:
                i, j = r.randrange(len(args)), r.randrange(len(args))
                args[i], args[j] = args[j], args[i]
            elif kind < 0.8:
                args.append(r.choice(HOSTILE))
            elif kind < 0.9:
                word = self.valid().split()[0]
            else:
                args = args[:r.randint(0, len(args))]
        # Bounded durations stay bounded: only the count and time of these are left alone, and the
        # accuracy that ends each re-solve of a dropped subgame (a query may re-solve hundreds).
        if word in ("go", "sleep", "repeat", "set_recalc_accuracy"):
            return line
        return " ".join([word] + ['"%s"' % a if (" " in a or a == "") else a for a in args])

    def garbage(self):
        """Random bytes but the line break, mostly those the tokenizer treats apart."""
        r = self.r
        raw = [r.choice(b'$#" \t\r\x00abc0123456789') if r.random() < 0.6 else r.choice(BYTES)
               for _ in range(r.randint(1, 120))]
        return "".join(chr(b) if b < 0x80 else chr(0xDC00 + b) for b in raw)

    def line(self):
        kind = self.r.random()
        if kind < 0.1:
            return self.garbage()
        line = self.valid()
        return self.mutate(line) if kind < 0.55 else line


class Session(PipeSession):
    def __init__(self, program, log):
        super().__init__(program, REPLY_TIMEOUT)
        self.log = log
        self.peak_mb = 0

    def line(self, line):
        self.log.append(line)
        self.ask(line, "end_if")
        with open("/proc/%d/status" % self.process.pid) as f:
            for row in f:
                if row.startswith("VmHWM:"):
                    self.peak_mb = max(self.peak_mb, int(row.split()[1]) // 1024)
        if self.peak_mb > MEMORY_LIMIT_MB:
            raise AssertionError("peak memory %d MB" % self.peak_mb)

    def finish(self):
        self.process.stdin.close()
        try:
            status = self.process.wait(REPLY_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program did not end after its input")
        if status != 0:
            raise AssertionError("exit status %d" % status)

    def sanitizer_report(self):
        text = self.errors()
        return text if any(m in text for m in SANITIZER_MARKS) else ""


def game_lines(data_dir, rng):
    """The lines that set up and build one of the games; the flop game, at a random level, comes up
    twice as often as each other one, as only it packs records."""
    choice = rng.randrange(len(GAMES) + 3)
    if choice > len(GAMES):
        with open(os.path.join(data_dir, "tree_ranges_full.txt")) as f:
            lines = [l.strip() for l in f if l.strip()] + ["set_pot 0 0 100"] + SMALL_FLOP
        return lines + ["set_compression " + rng.choice(PACKED_LEVELS + ["none"])]
    if choice == len(GAMES):
        return ["set_pot 0 0 100"] + SHORT_DECK_TURN
    with open(os.path.join(data_dir, GAMES[choice])) as f:
        return [l.strip() for l in f if l.strip()]


def run(program, data_dir, seconds, seed):
    rng = random.Random(seed)
    gen = Generator(rng)
    log = []
    session = Session(program, log)
    counts = {"lines": 0, "rounds": 0, "packed": 0}
    end = time.monotonic() + seconds
    try:
        session.line("set_threads 2")
        while time.monotonic() < end:
            counts["rounds"] += 1
            # no tree, built, solving in the background, stopped, freed
            game = game_lines(data_dir, rng)
            counts["packed"] += any(line.split()[-1] in PACKED_LEVELS for line in game)
            phases = [["free_tree", "set_low_card 2", "set_hand_type_order " + " ".join(CATEGORIES),
                       "set_must_use_hole_cards 0", "set_recalc_accuracy 0.1 0.1 0.1"],
                      game,
                      ["set_info_freq %d" % rng.randint(1, 10), "go %d seconds" % rng.randint(2, 5)],
                      ["stop", "wait_for_solver"],
                      ["free_tree"]]
            for setup in phases:
                for line in setup:
                    session.line(line)
                for _ in range(rng.randint(10, 40)):
                    session.line(gen.line())
                    counts["lines"] += 1
                if time.monotonic() >= end:
                    break
        session.line("stop")
        session.line("wait_for_solver")
        peak = session.peak_mb
        session.finish()
        report = session.sanitizer_report()
        if report:
            raise AssertionError("sanitizer report:\n" + report[-6000:])
        print("seed %d, %d s: %d random lines in %d rounds (%d on packed levels), peak memory %d MB, no failure"
              % (seed, seconds, counts["lines"], counts["rounds"], counts["packed"], peak))
        return 0
    except AssertionError as failure:
        print("FAILED after %d random lines (seed %d): %s" % (counts["lines"], seed, failure))
        report = session.sanitizer_report()
        if report:
            print(report[-6000:])
        print("--- the last lines sent:")
        for line in log[-40:]:
            print(line[:300].encode("utf-8", "surrogateescape").decode("utf-8", "replace"))
        return 1
    finally:
        session.close()


def main():
    program, data_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else float(os.environ.get("QUORVANE_SESSION_SECONDS", "20"))
    seed = int(sys.argv[4]) if len(sys.argv) > 4 else 2122
    sys.exit(run(program, data_dir, seconds, seed))


if __name__ == "__main__":
    main()
