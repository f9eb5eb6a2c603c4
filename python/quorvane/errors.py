"""What can go wrong when talking to an engine."""


class EngineError(Exception):
    """The engine refused a command; `line` is its own error line, `command` what was sent."""

    def __init__(self, line, command=None):
        super().__init__(line if command is None else f"{line} (after: {command[:80]})")
        self.line = line
        self.command = command


class EngineTerminated(EngineError):
    """The engine process ended, or the connection to it closed; nothing more can be sent."""


class EngineTimeout(EngineError):
    """The engine did not finish its reply in time; the link is closed, since the replies that
    were still to come would be read as the answers to later commands."""
