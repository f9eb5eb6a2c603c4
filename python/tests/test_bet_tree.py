"""Betting lines from bet sizes: the benchmark games' exact line sets, and each sizing rule on
small spots whose options are worked out by hand."""
import pytest

from conftest import benchmark_game
from quorvane import BetSizeError, Game, parse_sizes

RIVER, TURN = "QsJh2h8d3c", "QsJh2h8d"


@pytest.mark.parametrize("name", ["river", "turn", "flop", "flop3b", "sflop"])
def test_benchmark_games_come_out_line_for_line(name):
    game, lines = benchmark_game(name)
    assert {tuple(line) for line in game.lines()} == lines


def options(game, prefix):
    """The amounts the player to act may put in after the actions of prefix."""
    return {line[len(prefix)] for line in game.lines()
            if line[:len(prefix)] == prefix and len(line) > len(prefix)}


def spot(board=RIVER, stack=1000, bet="", raise_="", **settings):
    return Game(board, "", "", 100, stack, bets={"bet": bet, "raise": raise_}, **settings)


@pytest.mark.parametrize("game, prefix, expected", [
    # percent of the pot, chips, all-in; a check is the current amount
    (spot(bet="50%, 40c, a"), [], {0, 50, 40, 1000}),
    # raises: times the bet faced, percent of the pot after calling on top of the call, chips on
    # top of the call but never below a minimum raise
    (spot(bet="50%", raise_="3x, 100%"), [50], {50, 150, 250}),
    (spot(bet="50%", raise_="30c"), [50], {50, 100}),
    # merging keeps the larger of two close sizes: 175/170 < 1.1, 250/175 is not
    (spot(bet="70%, 75%, 150%", merging=0.1), [], {0, 75, 150}),
    # force all-in: 20 behind is at most 0.15 of the pot after calling (300), not 0.05 of it
    (spot(stack=120, bet="100%", force_allin=0.15), [], {0, 120}),
    (spot(stack=120, bet="100%", force_allin=0.05), [], {0, 100}),
    # add all-in: a stack of 150 is at most 1.5 pots but not 1.4
    (spot(stack=150, bet="50%", add_allin=1.5), [], {0, 50, 150}),
    (spot(stack=150, bet="50%", add_allin=1.4), [], {0, 50}),
    # for a raise, what counts is the raise on top of the call, in pots after calling (200)
    (spot(stack=350, bet="50%", raise_="3x", add_allin=1.5), [50], {50, 150, 350}),
    (spot(stack=351, bet="50%", raise_="3x", add_allin=1.5), [50], {50, 150}),
    # no sizes, no all-in either: a player without raise sizes only calls or folds
    (spot(stack=150, bet="50%", add_allin=1.5), [50], {50}),
    # geometric: one street left on the river puts the stack in at once; two on the turn bet
    # (sqrt(5) - 1) / 2 of the pot, then the rest; a cap holds it to 50%
    (spot(stack=200, bet="e"), [], {0, 200}),
    (spot(TURN, stack=200, bet="e"), [], {0, 62}),
    (spot(TURN, stack=200, bet="e"), [62, 62], {62, 200}),
    (spot(stack=200, bet="2e50%"), [], {0, 50}),
    # donk bets: after IP bet the turn and OOP called, OOP only checks unless donk bets are on
    (spot(TURN, bet="50%"), [0, 50, 50], {50}),
    (spot(TURN, bet="50%", donk=True), [0, 50, 50], {50, 150}),
    (spot(TURN, bet="50%", donk="25%"), [0, 50, 50], {50, 100}),
    (spot(TURN, bet="50%"), [50, 50], {50, 150}),
    # the sizes of one street and player
    (Game(TURN, "", "", 100, 1000, bets={"bet": "50%", "river": {"ip": {"bet": "a"}}}),
     [0, 0, 0], {0, 1000}),
])
def test_each_sizing_rule(game, prefix, expected):
    assert options(game, prefix) == expected


@pytest.mark.parametrize("text, raises, bad", [
    ("33%, 2.5x", False, "2.5x"), ("33%, 33", False, "33"), ("1x", True, "1x"),
    ("a, e5", False, "e5"), ("50%, 1.2.3%", False, "1.2.3%"), ("x", True, "x"),
])
def test_bad_sizes_name_the_token(text, raises, bad):
    with pytest.raises(BetSizeError) as error:
        parse_sizes(text, raises)
    assert error.value.token == bad


def test_misplaced_keys_of_a_bets_table_are_named():
    with pytest.raises(ValueError, match="bets.flop: unknown key 'oop_bet'"):
        Game(RIVER, "", "", 100, 100, bets={"flop": {"oop_bet": "50%"}}).lines()
    with pytest.raises(BetSizeError, match=r"in bets.turn.ip"):
        Game(TURN, "", "", 100, 100, bets={"turn": {"ip": {"raise": "50"}}}).lines()
