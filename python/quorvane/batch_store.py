"""Where a batch keeps its results, so that it can stop at any moment and go on later:

    DIR/batch.json        the spot the results belong to (a fingerprint of its game and accuracy)
    DIR/flops/FLOP.json   one solved flop, written as soon as it is solved

Every file is written whole or not at all (a temporary file beside it, then a rename), so a batch
that is killed leaves either a complete result or none. A flop's result does not depend on the
subset it was solved for: a batch over more flops reuses those already solved.
"""
import dataclasses
import hashlib
import json
import os
import pathlib
import secrets


class BatchError(ValueError):
    """A batch directory that cannot be used for a spot."""


def write_atomically(path, text):
    """Writes a text file whole or not at all, even if the process dies on the way."""
    path = pathlib.Path(path)
    temporary = path.with_name(f".{path.name}.{os.getpid()}.{secrets.token_hex(4)}.tmp")
    try:
        with open(temporary, "x", encoding="utf-8") as file:
            file.write(text)
            file.flush()
            os.fsync(file.fileno())
        os.replace(temporary, path)
    except BaseException:
        temporary.unlink(missing_ok=True)
        raise


def spot_fingerprint(spot):
    """What decides a flop's result apart from the flop: the game's set-up without its board, and
    how far it is solved."""
    game = dataclasses.replace(spot.game, board="2c3c4c")
    lines = [line for line in game.script() if not line.startswith("set_board ")]
    lines.append(f"accuracy {spot.accuracy} max_iterations {spot.max_iterations}")
    return hashlib.sha256("\n".join(lines).encode()).hexdigest()


class ResultStore:
    """The solved flops of one spot in a directory (created if need be)."""

    def __init__(self, directory, spot):
        self.directory = pathlib.Path(directory)
        self.flops = self.directory / "flops"
        manifest = self.directory / "batch.json"
        fingerprint = spot_fingerprint(spot)
        try:
            self.flops.mkdir(parents=True, exist_ok=True)
            if not manifest.exists():
                write_atomically(manifest, json.dumps({"spot": fingerprint}) + "\n")
            recorded = json.loads(manifest.read_text(encoding="utf-8")).get("spot")
        except (OSError, ValueError, AttributeError) as error:
            raise BatchError(f"cannot use {self.directory} for a batch: {error}") from None
        if recorded != fingerprint:
            raise BatchError(f"{self.directory} holds the results of another spot or accuracy; "
                             "give another --out")

    def _path(self, flop):
        return self.flops / f"{flop}.json"

    def __contains__(self, flop):
        return self.read(flop) is not None

    def read(self, flop):
        """A flop's result, or None when it is not solved (or its file is unreadable: it will be
        solved again)."""
        try:
            result = json.loads(self._path(flop).read_text(encoding="utf-8"))
        except (OSError, ValueError):
            return None
        return result if isinstance(result, dict) and result.get("flop") == flop else None

    def write(self, result):
        write_atomically(self._path(result["flop"]), json.dumps(result, indent=1) + "\n")
