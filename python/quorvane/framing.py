"""The frames of the engine's server mode: a type byte, a little-endian 64-bit length and a body.

Types 0 (a command line), 1 (the reply to one command) and 2 (a notice such as a solver report)
carry text; 3 carries a file and 4 a payload, each followed by a 32-bit length and a text.
"""
import struct

COMMAND, REPLY, NOTICE, FILE, PAYLOAD = range(5)
_HEADER = struct.Struct("<BQ")
_TEXT_LENGTH = struct.Struct("<I")


def encode_frame(kind, body, text=b""):
    """One frame; text goes after the body only for the file and payload types."""
    frame = _HEADER.pack(kind, len(body)) + body
    if kind in (FILE, PAYLOAD):
        frame += _TEXT_LENGTH.pack(len(text)) + text
    return frame


def read_frame(read_exactly):
    """(type, body, text) of the next frame; read_exactly(n) gives n bytes or raises. The text of a
    text frame is its body."""
    kind, length = _HEADER.unpack(read_exactly(_HEADER.size))
    body = read_exactly(length) if length else b""
    if kind not in (FILE, PAYLOAD):
        return kind, body, body
    (text_length,) = _TEXT_LENGTH.unpack(read_exactly(_TEXT_LENGTH.size))
    return kind, body, read_exactly(text_length) if text_length else b""
