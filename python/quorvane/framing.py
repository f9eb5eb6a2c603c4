"""The frames of Quorvane's server mode, and a small blocking client for scripts and tests.

A frame is a type byte, a 64-bit little-endian length L and a body:

* text frames (0 a command line, 1 a reply, 2 a notice, and every type but 3 and 4):
  L bytes of text;
* 3, a file sent with a command line: L bytes of file content, a 32-bit text length T,
  T bytes of text;
* 4, a payload sent with a text: L bytes of payload, a 32-bit text length T, T bytes of text.

The server answers every non-empty command line with exactly one reply frame (type 1, or
type 4 when the reply carries a payload); notices (the solver's reports) arrive between replies.
Only the standard library is used.
"""

from __future__ import annotations

import os
import socket
import struct
from dataclasses import dataclass
from typing import BinaryIO, Union

COMMAND, REPLY, NOTICE, FILE, PAYLOAD = 0, 1, 2, 3, 4
MAX_TEXT_BYTES = 64 << 20
MAX_PAYLOAD_BYTES = 1 << 30
CHUNK_BYTES = 1 << 16

HEADER = struct.Struct("<BQ")
TEXT_LENGTH = struct.Struct("<I")


@dataclass(frozen=True)
class Frame:
    type: int
    text: str
    payload: bytes = b""


class ConnectionClosed(EOFError):
    """The peer closed the connection; `mid_frame` tells whether a frame was cut short."""

    def __init__(self, mid_frame: bool):
        super().__init__("connection closed" + (" in the middle of a frame" if mid_frame else ""))
        self.mid_frame = mid_frame


class FrameRefused(ValueError):
    """A frame a client does not accept: a length over the limits, or a file."""


def to_bytes(text: Union[str, bytes]) -> bytes:
    return text if isinstance(text, bytes) else text.encode("utf-8", "surrogateescape")


def to_text(data: bytes) -> str:
    return data.decode("utf-8", "surrogateescape")


def text_frame(text: Union[str, bytes], frame_type: int = COMMAND) -> bytes:
    body = to_bytes(text)
    return HEADER.pack(frame_type, len(body)) + body


def payload_frame(payload: bytes, text: Union[str, bytes]) -> bytes:
    body = to_bytes(text)
    return HEADER.pack(PAYLOAD, len(payload)) + payload + TEXT_LENGTH.pack(len(body)) + body


class FrameClient:
    """One connection to a server. Every read waits at most `timeout` seconds (None: forever)."""

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
        self.sock.sendall(text_frame(text, frame_type))

    def send_payload(self, payload: bytes, text: Union[str, bytes]) -> None:
        self.sock.sendall(payload_frame(payload, text))

    def send_file(self, source: Union[str, os.PathLike, BinaryIO], text: Union[str, bytes]) -> None:
        """Sends a file (a path or a binary file object read to its end) with a command line.

        The content is streamed in 64 KiB chunks, so files of any size cost no memory."""
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

    def _read(self, size: int, at_frame_start: bool = False) -> bytes:
        data = self._reader.read(size)
        if len(data) < size:
            raise ConnectionClosed(mid_frame=bool(data) or not at_frame_start)
        return data

    def _read_text(self, size: int) -> str:
        if size > MAX_TEXT_BYTES:
            raise FrameRefused(f"text of {size} bytes is over the limit of {MAX_TEXT_BYTES}")
        return to_text(self._read(size))

    def read_frame(self) -> Frame:
        frame_type, length = HEADER.unpack(self._read(HEADER.size, at_frame_start=True))
        if frame_type == FILE:
            raise FrameRefused("a client does not receive files")
        if frame_type == PAYLOAD:
            if length > MAX_PAYLOAD_BYTES:
                raise FrameRefused(f"payload of {length} bytes is over the limit of {MAX_PAYLOAD_BYTES}")
            payload = self._read(length)
            (text_length,) = TEXT_LENGTH.unpack(self._read(TEXT_LENGTH.size))
            return Frame(PAYLOAD, self._read_text(text_length), payload)
        return Frame(frame_type, self._read_text(length))

    def read_reply(self) -> tuple[Frame, list[Frame]]:
        """The next reply frame, and the notices that arrived before it."""
        notices = []
        while True:
            frame = self.read_frame()
            if frame.type in (REPLY, PAYLOAD):
                return frame, notices
            notices.append(frame)

    def request(self, text: Union[str, bytes], frame_type: int = COMMAND) -> str:
        """Sends one command line and returns the text of its reply; notices are passed over."""
        self.send_command(text, frame_type)
        return self.read_reply()[0].text
