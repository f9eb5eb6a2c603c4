"""Solving a game set up from text, and reading its nodes, against the same game loaded from the
benchmark script."""
import numpy as np
import pytest

from conftest import bench_game, benchmark_game
from quorvane import COMBO_NAMES, Engine, Solver
from quorvane.cards import HAND_CLASS_OF_COMBO


@pytest.fixture(scope="module")
def solved(program):
    """The river benchmark game set up from its text and solved to 0.3% of the pot, the statuses
    passed to the progress callback, and the same game loaded from the benchmark script and run
    for the same number of iterations in one go."""
    game, _ = benchmark_game("river")
    with Engine.popen(program) as from_text, Engine.popen(program) as from_script:
        solver = Solver(from_text, game, threads=1)
        statuses = []
        status = solver.solve(accuracy=0.3, progress=statuses.append)
        from_script.load_script(bench_game("river"))
        from_script.set_threads(1)
        from_script.go(status.iterations)
        yield solver, statuses, from_script


def test_progress_is_reported_until_the_accuracy_is_reached(solved):
    solver, statuses, _ = solved
    assert [s.iterations for s in statuses] == list(range(10, 10 * len(statuses) + 1, 10))
    assert statuses[-1].percent <= 0.3 < min(s.percent for s in statuses[:-1])


def test_the_game_from_text_is_the_benchmark_game(solved):
    solver, statuses, from_script = solved
    assert from_script.results() == solver.engine.results()
    assert from_script.command("show_all_lines") == solver.engine.command("show_all_lines")
    for player in ("OOP", "IP"):
        assert np.array_equal(from_script.ev(player, "r:0")[0], solver.root().ev(player).values,
                              equal_nan=True)
    assert statuses[-1].ev == {"OOP": solver.engine.results().ev_oop,
                               "IP": solver.engine.results().ev_ip}


@pytest.mark.parametrize("actions, path, player", [
    ([], "r:0", 0), (["check"], "r:0:c", 1), (["x", "bet 33"], "r:0:c:b33", 0),
    (["b33", "raise 83"], "r:0:b33:b83", 0),
])
def test_strategies_per_hand_agree_with_their_aggregate(solved, actions, path, player):
    node = solved[0].node(actions)
    assert (node.path, node.player) == (path, player)
    strategy = node.strategy()
    held = strategy.range > 0
    assert np.allclose(strategy.per_hand[:, held].sum(axis=0), 1, atol=1e-6)
    aggregate = strategy.per_hand[:, held] @ strategy.range[held] / strategy.range[held].sum()
    assert np.allclose(aggregate, list(strategy.frequencies.values()), atol=1e-6)
    by_hand = strategy.by_hand()
    assert len(by_hand) == np.count_nonzero(held)
    some = next(iter(by_hand))
    assert list(by_hand[some].values()) == list(strategy.per_hand[:, COMBO_NAMES.index(some)])
    assert set(strategy.by_class()) == {HAND_CLASS_OF_COMBO[COMBO_NAMES.index(name)]
                                        for name in by_hand}


def test_node_values_hang_together(solved):
    solver = solved[0]
    root = solver.root()
    oop, _ = solver.game.ranges()
    board_free = np.array([not any(card in name for card in ("Qs", "Jh", "2h", "8d", "3c"))
                           for name in COMBO_NAMES])
    assert np.array_equal(root.range("OOP"), np.where(board_free, oop, 0))
    equity = root.equity("IP")
    held = equity.weights > 0
    assert np.all((equity.values[held] >= 0) & (equity.values[held] <= 1))
    assert equity.average == pytest.approx(np.average(equity.values[held],
                                                      weights=equity.weights[held]), abs=1e-6)
    for player, ev in solved[1][-1].ev.items():  # the weighted per-hand EVs add up
        assert root.ev(player).average == pytest.approx(ev, abs=1e-3)
    assert root.frequency() == 1
    assert 0 < solver.node(["check", "check"]).frequency() < 1


def test_save_and_load_keep_the_solution(solved, tmp_path):
    solver, _, _ = solved
    engine = solver.engine
    engine.save(tmp_path / "river.tree")
    before = engine.strategy("r:0")
    engine.load(tmp_path / "river.tree")
    assert np.array_equal(engine.strategy("r:0"), before)


def test_a_solve_stops_when_asked_and_rounds_grow_at_most_fourfold(program):
    game, _ = benchmark_game("river")
    with Engine.popen(program) as engine:
        statuses = []
        status = Solver(engine, game, threads=1).solve(
            accuracy=0, check_every=3, progress=statuses.append,
            stop=lambda: len(statuses) == 2, round_seconds=10)
    assert len(statuses) == 2 and status == statuses[-1]
    assert statuses[0].iterations == 3 and 3 < statuses[1].iterations <= 3 + 4 * 3
