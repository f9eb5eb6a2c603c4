#pragma once
// Frames over a TCP socket: the receiving side as a ByteSource, the sending side as one gathered
// write per frame. Used by the server, and by whatever else of the program talks frames.
#include <asio/ip/tcp.hpp>
#include <cstdint>
#include <string>
#include <vector>

#include "interpreter/frames.h"

namespace qv {

// Buffers what the socket delivers, so that a small frame costs one system call however its
// fields are read. It must live as long as the connection: its buffer may already hold the start
// of the next frame. The peer closing or resetting the connection reads as the end of the stream;
// other failures raise std::system_error.
class SocketSource : public ByteSource {
public:
    explicit SocketSource(asio::ip::tcp::socket& socket) : socket_(socket), buffer_(kFrameChunkBytes) {}
    size_t readSome(uint8_t* destination, size_t capacity) override;
    void clear() { begin_ = end_ = 0; }

private:
    asio::ip::tcp::socket& socket_;
    std::vector<uint8_t> buffer_;
    size_t begin_ = 0, end_ = 0;
};

// Writes one frame: with a payload a type-4 frame (payload, text length, text), without one a
// frame of `textType` carrying the text. Raises std::system_error when the write fails.
void writeFrame(asio::ip::tcp::socket& socket, uint8_t textType, const std::string& text,
                const std::vector<uint8_t>& payload = {});

}  // namespace qv
