"""The pictures of a batch report, drawn from the rows of flops.csv (flops in texture order):
the root action frequencies flop by flop, a heat map of each action by high card and suitedness,
and both players' EVs flop by flop. Each figure comes back as PNG bytes."""
import io

import numpy as np
from matplotlib.figure import Figure

from .cards import RANKS
from .engine import PLAYERS
from .flops import SUITEDNESS
from .report_data import weighted_mean

HIGH_CARDS = RANKS[::-1]


def _png(figure):
    buffer = io.BytesIO()
    figure.savefig(buffer, format="png", dpi=100, bbox_inches="tight")
    return buffer.getvalue()


def _flop_axis(axes, rows):
    """Flops along the x axis, labelled while the labels still fit."""
    step = max(1, len(rows) // 100)
    axes.set_xticks(range(0, len(rows), step))
    axes.set_xticklabels([row["flop"] for row in rows[::step]], rotation=90, fontsize=7,
                         family="monospace")
    axes.set_xlim(-0.6, len(rows) - 0.4)


def _width(rows):
    return min(24.0, 3.0 + 0.22 * len(rows))


def frequency_bars(rows, actions):
    """Stacked bars: each flop's root frequency of each action."""
    figure = Figure(figsize=(_width(rows), 4.2))
    axes = figure.subplots()
    bottom = np.zeros(len(rows))
    for action in actions:
        values = np.array([row[action] for row in rows])
        axes.bar(range(len(rows)), values, bottom=bottom, width=0.85, label=action)
        bottom += values
    _flop_axis(axes, rows)
    axes.set_ylim(0, 1)
    axes.set_ylabel("frequency at the root")
    axes.set_title("Root strategy by flop (flops in texture order)")
    axes.legend(loc="upper left", bbox_to_anchor=(1.0, 1.0), fontsize=8)
    return _png(figure)


def texture_grid(rows, column):
    """The weighted mean of a column per suitedness (rows of the grid) and high card (columns,
    ace first); NaN where no flop has that texture."""
    sums = np.zeros((len(SUITEDNESS), len(HIGH_CARDS)))
    weights = np.zeros_like(sums)
    for row in rows:
        cell = SUITEDNESS.index(row["suitedness"]), HIGH_CARDS.index(row["high_card"])
        sums[cell] += row["weight"] * row[column]
        weights[cell] += row["weight"]
    with np.errstate(invalid="ignore", divide="ignore"):
        return np.where(weights > 0, sums / weights, np.nan)


def heat_maps(rows, actions):
    """One heat map per action: its weighted frequency by high card and suitedness."""
    figure = Figure(figsize=(9, 2.3 * len(actions) + 0.6), layout="constrained")
    for axes, action in zip(np.atleast_1d(figure.subplots(len(actions), 1)), actions):
        grid = 100 * texture_grid(rows, action)
        image = axes.imshow(np.ma.masked_invalid(grid), vmin=0, vmax=100, cmap="viridis",
                            aspect="auto")
        for (i, j), value in np.ndenumerate(grid):
            if value == value:
                axes.text(j, i, f"{value:.0f}", ha="center", va="center", fontsize=8,
                          color="white" if value < 60 else "black")
        axes.set_xticks(range(len(HIGH_CARDS)), list(HIGH_CARDS))
        axes.set_yticks(range(len(SUITEDNESS)), list(SUITEDNESS))
        axes.set_title(f"{action}: frequency (%) by high card and suitedness", fontsize=10)
        figure.colorbar(image, ax=axes, fraction=0.03, pad=0.01)
    return _png(figure)


def ev_by_flop(rows):
    """Both players' EVs flop by flop, with their weighted means."""
    figure = Figure(figsize=(_width(rows), 3.8))
    axes = figure.subplots()
    for player, marker in zip(PLAYERS, "os"):
        column = f"ev_{player.lower()}"
        values = [row[column] for row in rows]
        line = axes.plot(range(len(rows)), values, marker=marker, markersize=4, linewidth=0.8,
                         label=player)[0]
        axes.axhline(weighted_mean(rows, column), color=line.get_color(), linestyle="--", linewidth=0.8)
    _flop_axis(axes, rows)
    axes.set_ylabel("EV (chips)")
    axes.set_title("EV by flop (dashed: weighted mean)")
    axes.legend(fontsize=8)
    return _png(figure)
