"""A report over many flops: one spot's game solved on a subset of flops whose texture mix is that
of all flops, and aggregated. The steps: pick the flops (flops.flop_subset), solve those not yet
in the output directory on Dask (batch), then write the data files (report_data) and the page
made from them (report_page)."""
import pathlib

from .batch import solve_flops
from .batch_store import ResultStore
from .flops import flop_subset
from .report_data import write_report_data
from .report_page import write_report_page


class Report:
    """A batch of flops for a spot, kept in `directory`."""

    def __init__(self, spot, count, directory, name="spot"):
        self.spot = spot
        self.subset = flop_subset(count)
        self.flops = [flop.text for flop, _ in self.subset]
        self.directory = pathlib.Path(directory)
        self.store = ResultStore(self.directory, spot)
        self.name = name

    def pending(self):
        """The flops not solved yet."""
        return [flop for flop in self.flops if flop not in self.store]

    def solve(self, client, program=None, solved=None):
        """Solves the pending flops on a Dask client (see batch.solve_flops); {flop: error} of
        those that failed."""
        return solve_flops(client, self.spot, self.flops, self.store, program, solved=solved)

    def results(self):
        return {flop: result for flop in self.flops
                if (result := self.store.read(flop)) is not None}

    def write(self):
        """Writes flops.csv, categories.json and report.html over the flops solved so far;
        returns the aggregate (see report_data.aggregate)."""
        summary = write_report_data(self.directory, self.subset, self.results())
        game = self.spot.game
        write_report_page(self.directory, f"{self.name}: pot {game.pot}, stack {game.stack}, "
                                          f"{len(self.flops)} flops, solved to "
                                          f"{self.spot.accuracy}% of the pot")
        return summary
