"""A batch's results as data files, the flops weighted by the number of flops each stands for:

    flops.csv         one row per solved flop, in texture order: the flop, its weight, the size of
                      its class, its texture, the root player's frequency of each action, both
                      players' EVs (chips, each with its half of the starting pot) and equities
    categories.json   the weighted aggregate over all flops ("overall": action frequencies, EVs,
                      equities), the root strategy per made-hand and per draw category, both over
                      all flops and flop by flop

An aggregate frequency is the weighted mean of the flops' frequencies; a category's aggregate
share is the weighted mean of its share of the range, and its frequencies are weighted by the
flop's weight times that share (how much of the range, over all flops, is in the category).
"""
import csv
import io
import json

from .batch_store import write_atomically
from .engine import PLAYERS
from .flops import TEXTURES

VALUES = {f"{kind}_{player.lower()}": (kind, player) for kind in ("ev", "equity")
          for player in PLAYERS}


def action_names(results):
    """The root actions of all results, in the order they first come."""
    return list(dict.fromkeys(action for result in results for action in result["frequencies"]))


def flop_rows(subset, results):
    """The rows of flops.csv: [(FlopClass, weight)] in order, with the result of each solved
    flop ({flop text: result})."""
    solved = [(flop, weight, results[flop.text]) for flop, weight in subset
              if flop.text in results]
    actions = action_names(result for _, _, result in solved)
    rows = []
    for flop, weight, result in solved:
        row = {"flop": flop.text, "weight": weight, "class_size": flop.weight}
        row.update((part, flop.texture(part)) for part in TEXTURES)
        row.update((action, result["frequencies"].get(action, 0.0)) for action in actions)
        row.update((column, result[kind][player]) for column, (kind, player) in VALUES.items())
        row["exploitability_percent"] = result["exploitability_percent"]
        rows.append(row)
    return rows, actions


def weighted_mean(rows, column):
    return sum(row["weight"] * row[column] for row in rows) / sum(row["weight"] for row in rows)


def category_aggregate(weighted_breakdowns):
    """{category: {"share", "frequencies"}} over flops, from (flop weight, the flop's breakdown)
    pairs."""
    masses, sums = {}, {}
    total = sum(weight for weight, _ in weighted_breakdowns)
    for weight, breakdown in weighted_breakdowns:
        for name, entry in breakdown.items():
            mass = weight * entry["share"]
            masses[name] = masses.get(name, 0.0) + mass
            frequencies = sums.setdefault(name, {})
            for action, frequency in entry["frequencies"].items():
                frequencies[action] = frequencies.get(action, 0.0) + mass * frequency
    return {name: {"share": masses[name] / total,
                   "frequencies": {action: value / masses[name]
                                   for action, value in sums[name].items()}}
            for name in masses if masses[name] > 0}


def aggregate(rows, actions, results):
    """The content of categories.json."""
    weights = {row["flop"]: row["weight"] for row in rows}
    kinds = ("made", "draw")
    return {
        "player": results[rows[0]["flop"]]["player"] if rows else None,
        "actions": actions,
        "flops": len(rows),
        "overall": {
            "frequencies": {action: weighted_mean(rows, action) for action in actions},
            **{kind: {player: weighted_mean(rows, f"{kind}_{player.lower()}")
                      for player in PLAYERS} for kind in ("ev", "equity")},
        } if rows else {},
        **{kind: category_aggregate([(weights[flop], results[flop]["categories"][kind])
                                     for flop in weights]) for kind in kinds},
        "by_flop": {flop: results[flop]["categories"] for flop in weights},
    }


def write_report_data(directory, subset, results):
    """Writes flops.csv and categories.json into the directory; returns the aggregate."""
    rows, actions = flop_rows(subset, results)
    text = io.StringIO()
    columns = ["flop", "weight", "class_size", *TEXTURES, *actions, *VALUES,
               "exploitability_percent"]
    writer = csv.DictWriter(text, columns, lineterminator="\n")
    writer.writeheader()
    writer.writerows(rows)
    write_atomically(directory / "flops.csv", text.getvalue())
    summary = aggregate(rows, actions, results)
    write_atomically(directory / "categories.json", json.dumps(summary, indent=1) + "\n")
    return summary
