"""Solving many flops on Dask: a local cluster of worker processes by default, or the workers of a
running scheduler. Each flop is one task that starts its own engine (flop_solve.solve_flop); the
results come back here and go to the store as each arrives, so a remote worker needs the engine
program and this package, but no shared disk.

A task whose engine dies fails and is run again (up to `retries` times); a task whose worker dies
is moved by the scheduler to another worker. A flop that still fails is reported, and the others
go on.
"""
import contextlib
import logging

from distributed import Client, LocalCluster, as_completed

from .batch_store import BatchError
from .flop_solve import solve_flop

RETRIES = 2


@contextlib.contextmanager
def dask_client(scheduler=None, workers=2):
    """A Dask client: of the scheduler at `scheduler` ("tcp://host:port"), else of a local
    cluster of `workers` single-threaded worker processes that ends with the block."""
    if scheduler:
        try:
            client = Client(scheduler, timeout=30)
        except (OSError, ValueError) as error:
            raise BatchError(f"cannot use the Dask scheduler {scheduler}: {error}") from None
        with client:
            yield client
        return
    with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True,
                      dashboard_address=":0", silence_logs=logging.ERROR) as cluster, \
            Client(cluster) as client:
        yield client


def solve_flops(client, spot, flops, store, program=None, retries=RETRIES, solved=None):
    """Solves the flops that the store does not hold yet, writing each result to the store as it
    comes; solved(flop) is called after each. Returns {flop: error} for the flops that failed."""
    futures = {client.submit(solve_flop, spot, flop, program, retries=retries, pure=False): flop
               for flop in flops if flop not in store}
    failed = {}
    try:
        for future in as_completed(futures):
            flop = futures[future]
            try:
                result = future.result()
            except Exception as error:  # the task's own error, or the scheduler's (a lost worker)
                failed[flop] = error
                continue
            store.write(result)
            if solved:
                solved(flop)
    finally:
        client.cancel(list(futures))
    return failed
