"""The frames of the engine's server mode, and a small blocking frame client for scripts and tests.

A frame is a type byte, a little-endian 64-bit length L and a body:

* text frames (0 a command line, 1 the reply to one, 2 a notice such as a solver report, and
  every type but 3 and 4): L bytes of text;
* 3, a file sent with a command line, and 4, a payload sent with a text: L bytes of file or
  payload, then a 32-bit text length T and T bytes of text.

The engine answers every non-empty command line with exactly one reply frame (type 1, or type 4
when the reply carries a payload); notices arrive between replies. Only the standard library is
used.
"""
from __future__ import annotations

import os
import socket
import struct
from dataclasses import dataclass
from typing import BinaryIO, Union

COMMAND, REPLY, NOTICE, FILE, PAYLOAD = range(5)
HEADER = struct.Struct("<BQ")
TEXT_LENGTH = struct.Struct("<I")
# What the engine accepts, and so what a client accepts from it.
MAX_TEXT_BYTES = 64 << 20
MAX_PAYLOAD_BYTES = 1 << 30
CHUNK_BYTES = 1 << 16


class FrameRefused(ValueError):
    """A frame that announces more bytes than the limits allow."""


def _within(length, limit, what):
    if length > limit:
        raise FrameRefused(f"{what} of {length} bytes is over the limit of {limit}")
    return length


def encode_frame(kind, body, text=b""):
    """One frame; text goes after the body only for the file and payload types."""
    frame = HEADER.pack(kind, len(body)) + body
    if kind in (FILE, PAYLOAD):
        frame += TEXT_LENGTH.pack(len(text)) + text
    return frame


def read_frame(read_exactly):
    """(type, body, text) of the next frame; read_exactly(n) gives n bytes or raises. The text of a
    text frame is its body. A length over the limits raises FrameRefused before anything is read."""
    kind, length = HEADER.unpack(read_exactly(HEADER.size))
    carries_text = kind not in (FILE, PAYLOAD)
    _within(length, MAX_TEXT_BYTES if carries_text else MAX_PAYLOAD_BYTES, "text" if carries_text else "body")
    body = read_exactly(length) if length else b""
    if carries_text:
        return kind, body, body
    (text_length,) = TEXT_LENGTH.unpack(read_exactly(TEXT_LENGTH.size))
    _within(text_length, MAX_TEXT_BYTES, "text")
    return kind, body, read_exactly(text_length) if text_length else b""


def to_bytes(text: Union[str, bytes]) -> bytes:
    return text if isinstance(text, bytes) else text.encode("utf-8", "surrogateescape")


@dataclass(frozen=True)
class Frame:
    type: int
    text: str
    payload: bytes = b""  # the body of a payload or file frame


class ConnectionClosed(EOFError):
    """The engine closed the connection."""


class FrameClient:
    """One connection to an engine in server mode, frame by frame. Every read waits at most
    `timeout` seconds (None: forever)."""

    def __init__(self, sock: socket.socket):
        self.sock = sock
        self._reader = sock.makefile("rb")

    @classmethod
    def connect(cls, host: str, port: int, timeout: float | None = 30.0) -> "FrameClient":
        sock = socket.create_connection((host, port), timeout=timeout)
        sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        return cls(sock)

    def __enter__(self) -> "FrameClient":
        return self

    def __exit__(self, *exc) -> None:
        self.close()

    def close(self) -> None:
        self._reader.close()
        self.sock.close()

    def send_command(self, text: Union[str, bytes], frame_type: int = COMMAND) -> None:
        self.sock.sendall(encode_frame(frame_type, to_bytes(text)))

    def send_payload(self, payload: bytes, text: Union[str, bytes]) -> None:
        self.sock.sendall(encode_frame(PAYLOAD, payload, to_bytes(text)))

    def send_file(self, source: Union[str, os.PathLike, BinaryIO], text: Union[str, bytes]) -> None:
        """Sends a file (a path, or a binary file object from where it stands to its end) with a
        command line, streamed in 64 KiB chunks: files of any size cost no memory."""
        if isinstance(source, (str, os.PathLike)):
            with open(source, "rb") as handle:
                self.send_file(handle, text)
            return
        start = source.tell()
        length = source.seek(0, os.SEEK_END) - start
        source.seek(start)
        self.sock.sendall(HEADER.pack(FILE, length))
        while chunk := source.read(CHUNK_BYTES):
            self.sock.sendall(chunk)
        body = to_bytes(text)
        self.sock.sendall(TEXT_LENGTH.pack(len(body)) + body)

    def _read_exactly(self, size: int) -> bytes:
        data = self._reader.read(size)
        if len(data) < size:
            raise ConnectionClosed("the engine closed the connection")
        return data

    def read_frame(self) -> Frame:
        kind, body, text = read_frame(self._read_exactly)
        return Frame(kind, text.decode("utf-8", "surrogateescape"), body if kind in (FILE, PAYLOAD) else b"")

    def read_reply(self) -> tuple[Frame, list[Frame]]:
        """The next reply frame, and the notices that arrived before it."""
        notices = []
        while (frame := self.read_frame()).type not in (REPLY, PAYLOAD):
            notices.append(frame)
        return frame, notices

    def request(self, text: Union[str, bytes], frame_type: int = COMMAND) -> str:
        """Sends one command line and returns the text of its reply; notices are passed over."""
        self.send_command(text, frame_type)
        return self.read_reply()[0].text
