"""The viewer in a real browser: a game set up from the page is the game the engine solves, the
grid shows the engine's own strategy, bad input never reaches the engine, and a flop solve reports
its progress while the page stays usable."""
import json
import urllib.error
import urllib.request

import pytest

from browser import (WAIT, browser, element, elements, fill, go_to, open_page,  # noqa: F401
                     screenshot, start_viewer, state_is, wait)
from conftest import bench_game, benchmark_game
from quorvane import COMBO_NAMES, Engine
from quorvane.cards import HAND_CLASS_OF_COMBO, by_hand_class


def status(url):
    with urllib.request.urlopen(url + "api/status", timeout=WAIT) as reply:
        return json.load(reply)


def river_form():
    """The river benchmark game as form values, solved on one thread so that an engine given the
    same game and iteration count reproduces it exactly."""
    game, _ = benchmark_game("river")
    values = {"board": game.board, "pot": game.pot, "stack": game.stack,
              "oop_range": game.oop_range, "ip_range": game.ip_range, "donk": "off",
              "add_allin": game.add_allin, "force_allin": game.force_allin,
              "merging": game.merging, "accuracy": 0.3, "threads": 1}
    for player in ("oop", "ip"):  # a river board hides the other streets' sizes
        values[f"bets.river.{player}.bet"] = game.bets["bet"]
        values[f"bets.river.{player}.raise"] = game.bets["raise"]
    return values


@pytest.fixture(scope="module")
def river(browser, start_viewer):
    """The river benchmark game set up on the page and solved from it."""
    url = start_viewer()
    open_page(browser, url)
    fill(browser, river_form())
    element(browser, "#solve").click()
    wait(browser, state_is("solved"), "solved state")
    return url


def grid_mix(browser):
    """{hand class: [frequency of each action]} as the strategy grid draws it."""
    mixes = {}
    for cell in elements(browser, "#current .strategy .cell"):
        parts = cell.find_elements("css selector", "span[data-frequency]")
        if parts:
            mixes[cell.get_attribute("data-class")] = [float(p.get_attribute("data-frequency"))
                                                       for p in parts]
    return mixes


def test_the_grid_shows_the_engines_strategy_down_a_line(browser, river, program, screenshot):
    assert int(element(browser, "#chart").get_attribute("data-points")) > 0
    element(browser, "#tab-explorer").click()
    wait(browser, lambda b: elements(b, "#current .strategy .cell"), "grid")
    go_to(browser, '#current .action[data-action="check"]')
    path = go_to(browser, '#current .action[data-action="bet 33"]')
    assert path == "r:0:c:b33"
    shown = grid_mix(browser)
    actions = [a.get_attribute("data-action")
               for a in elements(browser, "#current .action")]

    with Engine.popen(program) as engine:  # the same game, from the benchmark script
        engine.load_script(bench_game("river"))
        engine.set_threads(1)
        engine.go(status(river)["iterations"])
        rows = engine.strategy(path)
        reach = engine.node_range("OOP", path)
        names = [child.path.rpartition(":")[2] for child in engine.children(path)]
    assert actions == ["raise 200", "raise 83", "call", "fold"]
    assert names == ["b200", "b83", "c", "f"]
    expected = [by_hand_class(row, reach) for row in rows]
    assert set(shown) == set(expected[0])
    for name, mix in shown.items():
        assert mix == pytest.approx([row[name] for row in expected], abs=1e-6), name

    cell = element(browser, '#current .strategy .cell[data-class="AQs"]')
    from selenium.webdriver.common.action_chains import ActionChains
    ActionChains(browser).move_to_element(cell).perform()
    wait(browser, lambda b: element(b, "#hand-detail").is_displayed(), "hand detail")
    combos = {row.get_attribute("data-combo")
              for row in elements(browser, "#hand-detail tr[data-combo]")}
    assert combos == {name for i, name in enumerate(COMBO_NAMES)
                      if reach[i] > 0 and HAND_CLASS_OF_COMBO[i] == "AQs"}
    screenshot("explorer")
    element(browser, "#compare").click()
    go_to(browser, '#breadcrumb button[data-path="r:0"]')
    assert "bet 33" in element(browser, "#compared .pinned").text
    screenshot("explorer-compare")


@pytest.mark.parametrize("field, value, shown", [
    ("oop_range", "QQ-22,AKz", "'AKz'"),
    ("ip_range", "JJ-22,AJs:-1", "'AJs:-1'"),
    ("bets.river.ip.bet", "33%, 7x", "'7x'"),
    ("board", "QsQs2h", "3 to 5 distinct cards"),
    ("pot", "ten", "not a number"),
])
def test_a_bad_value_is_shown_at_its_field_and_never_reaches_the_engine(
        browser, start_viewer, screenshot, field, value, shown):
    """A range that does not read keeps the page from sending the game at all; other values are
    refused by the server before an engine is started."""
    url = start_viewer()
    open_page(browser, url)
    browser.execute_script("window.sent = []; const send = window.fetch;"
                           "window.fetch = (url, options) => {"
                           " window.sent.push(String(url)); return send(url, options); };")
    fill(browser, {field: value})
    element(browser, "#solve").click()
    slot = "bets" if field.startswith("bets.") else field
    error = wait(browser, lambda b: element(b, f'.error[data-for="{slot}"]').text, "error")
    assert shown in error
    assert "invalid" in element(browser, f'[name="{field}"]').get_attribute("class")
    sent = browser.execute_script("return window.sent")
    assert any("/api/solve" in address for address in sent) != field.endswith("_range")
    assert status(url)["state"] == "empty"
    screenshot()


def test_tree_files_from_the_page(browser, river, tmp_path, screenshot):
    """A tree saved from the page opens again with the same strategies; the engine's refusal to
    open a missing file is shown as it is."""
    open_page(browser, river)
    wait(browser, state_is("solved"), "solved state")
    saved = tmp_path / "river.tree"
    fill(browser, {"tree_path": str(saved)})
    element(browser, "#save-tree").click()
    slot = '.error[data-for="tree_path"]'
    wait(browser, lambda b: saved.exists() or element(b, slot).text, "saved tree or error")
    assert saved.exists(), element(browser, slot).text
    element(browser, "#tab-explorer").click()
    before = wait(browser, grid_mix, "grid")
    element(browser, "#tab-setup").click()
    element(browser, "#open-tree").click()
    wait(browser, state_is("loaded"), "loaded state")
    open_page(browser, river)  # a fresh page, which can only show the opened tree
    wait(browser, state_is("loaded"), "loaded state")
    element(browser, "#tab-explorer").click()
    assert wait(browser, grid_mix, "grid of the opened tree") == before
    screenshot()
    element(browser, "#tab-setup").click()
    fill(browser, {"tree_path": str(tmp_path / "missing.tree")})
    element(browser, "#open-tree").click()
    wait(browser, lambda b: element(b, slot).text.startswith("ERROR: load_tree can't open file"), "error")


def test_a_flop_solve_reports_progress_while_the_page_stays_usable(browser, start_viewer,
                                                                     screenshot):
    """A small flop game solved to an accuracy it will not reach soon: the chart grows while the
    solve runs, the explorer says the engine is busy, the range editor still answers, and after
    a stop the solution is explored through a card picker."""
    url = start_viewer()
    open_page(browser, url)
    fill(browser, {"board": "KdTd5d", "pot": 100, "stack": 100, "accuracy": 0.0001,
                   "max_iterations": 100000, "threads": 1,
                   "oop_range": "AA,KK,TT,AKs,KQs,QJs,76s", "ip_range": "QQ-99,AQs,AJs,JTs,98s"})
    for street in ("flop", "turn", "river"):
        for player in ("oop", "ip"):
            fill(browser, {f"bets.{street}.{player}.bet": "50%",
                           f"bets.{street}.{player}.raise": ""})
    element(browser, "#solve").click()
    wait(browser, state_is("solving"), "solving state")
    points = lambda b: int(element(b, "#chart").get_attribute("data-points"))  # noqa: E731
    wait(browser, lambda b: points(b) >= 4, "fourth progress report")
    assert "solving for" in element(browser, "#progress-text").text
    screenshot("flop-progress")

    element(browser, "#tab-explorer").click()
    wait(browser, lambda b: element(b, "#solving-banner").is_displayed(), "solving banner")
    assert not elements(browser, "#current .cell")
    with pytest.raises(urllib.error.HTTPError) as refused:  # the engine is not asked
        urllib.request.urlopen(url + "api/node?path=r:0", timeout=WAIT)
    assert refused.value.code == 409
    element(browser, "#tab-setup").click()
    fill(browser, {"oop_range": "AA,KK", "click_weight": 0.5})
    wait(browser, lambda b: element(b, "#oop-combos").text == "12.0 combos", "range editor answer")
    element(browser, '#oop-editor .cell[data-class="KK"]').click()  # held: taken out
    wait(browser, lambda b: element(b, "#oop-combos").text == "6.0 combos", "KK taken out")
    element(browser, '#oop-editor .cell[data-class="AKs"]').click()  # put in at weight 0.5
    wait(browser, lambda b: element(b, "#oop-combos").text == "8.0 combos", "clicked range")
    assert element(browser, '[name="oop_range"]').get_attribute("value") == "AA,AKs:0.5"
    assert status(url)["state"] == "solving"

    element(browser, "#stop").click()
    wait(browser, state_is("stopped"), "stopped state")
    element(browser, "#tab-explorer").click()
    wait(browser, lambda b: elements(b, "#current .strategy .cell"), "grid")
    assert not element(browser, "#solving-banner").is_displayed()
    go_to(browser, '#current .action[data-action="check"]')
    go_to(browser, '#current .action[data-action="check"]')
    cards = elements(browser, "#current .card:enabled")
    assert 0 < len(cards) <= 49 and not elements(browser, ".card[data-card='Kd']:enabled")
    card = cards[0].get_attribute("data-card")
    go_to(browser, f'#current .card[data-card="{card}"]')
    assert element(browser, "#breadcrumb button:last-child").text == card
    assert element(browser, "#current h2").text == "OOP to act"
    screenshot("flop-turn-card")
