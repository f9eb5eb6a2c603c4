"""DIR/report.html: one self-contained page (pictures inline) made from a batch's data files,
flops.csv and categories.json, which it links to."""
import base64
import csv
import html
import json

from .batch_store import write_atomically
from .engine import PLAYERS
from .flops import TEXTURES
from .report_plots import ev_by_flop, frequency_bars, heat_maps

_TEXT_COLUMNS = ("flop", *TEXTURES)


def read_rows(directory):
    """The rows of flops.csv, numbers as floats."""
    with open(directory / "flops.csv", newline="", encoding="utf-8") as file:
        return [{key: value if key in _TEXT_COLUMNS else float(value)
                 for key, value in row.items()} for row in csv.DictReader(file)]


def _percent(value):
    return f"{100 * value:.1f}"


def _table(header, body):
    cells = "".join(f"<th>{html.escape(str(cell))}</th>" for cell in header)
    lines = "".join("<tr>" + "".join(f"<td>{html.escape(str(cell))}</td>" for cell in line)
                    + "</tr>" for line in body)
    return f"<table><tr>{cells}</tr>{lines}</table>"


def _category_table(title, categories, actions):
    body = [[name, _percent(entry["share"]),
             *(_percent(entry["frequencies"].get(action, 0.0)) for action in actions)]
            for name, entry in categories.items()]
    return f"<h3>{title}</h3>" + _table(["category", "% of range",
                                         *(f"{action} (%)" for action in actions)], body)


def _image(png, alt):
    return f'<img alt="{alt}" src="data:image/png;base64,{base64.b64encode(png).decode()}">'


_STYLE = """body { font-family: sans-serif; margin: 2em; }
table { border-collapse: collapse; margin-bottom: 1em; }
th, td { border: 1px solid #bbb; padding: 2px 8px; text-align: right; }
th:first-child, td:first-child { text-align: left; }
img { max-width: 100%; display: block; margin: 1em 0; }"""


def write_report_page(directory, title):
    """Draws the pictures from the data files in the directory and writes report.html."""
    rows = read_rows(directory)
    summary = json.loads((directory / "categories.json").read_text(encoding="utf-8"))
    actions = summary["actions"]
    parts = [f"<h1>{html.escape(title)}</h1>",
             f"<p>{len(rows)} flops, weighted by the number of the 22,100 flops each stands for. "
             'Data: <a href="flops.csv">flops.csv</a>, '
             '<a href="categories.json">categories.json</a>.</p>']
    if rows:
        overall = summary["overall"]
        parts += [f"<h2>{html.escape(summary['player'])} at the root, over all flops</h2>",
                  _table(["action", "frequency (%)"],
                         [[a, _percent(overall["frequencies"][a])] for a in actions]),
                  _table(["player", "EV (chips)", "equity (%)"],
                         [[p, f"{overall['ev'][p]:.3f}", _percent(overall["equity"][p])]
                          for p in PLAYERS]),
                  _image(frequency_bars(rows, actions), "root strategy by flop"),
                  _image(heat_maps(rows, actions), "frequencies by high card and suitedness"),
                  _image(ev_by_flop(rows), "EV by flop"),
                  "<h2>By hand category</h2>",
                  _category_table("Made hands", summary["made"], actions),
                  _category_table("Draws", summary["draw"], actions)]
    page = (f"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>{html.escape(title)}"
            f"</title><style>{_STYLE}</style></head><body>\n" + "\n".join(parts)
            + "\n</body></html>\n")
    write_atomically(directory / "report.html", page)
