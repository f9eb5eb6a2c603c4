#include "interpreter/frame_socket.h"

#include <asio/buffer.hpp>
#include <asio/write.hpp>
#include <cstring>

namespace qv {

size_t SocketSource::readSome(uint8_t* destination, size_t capacity) {
    if (begin_ == end_) {
        asio::error_code error;
        // A read as large as the buffer goes straight to its destination.
        const bool direct = capacity >= buffer_.size();
        const size_t n = direct ? socket_.read_some(asio::buffer(destination, capacity), error)
                                : socket_.read_some(asio::buffer(buffer_), error);
        if (error == asio::error::eof || error == asio::error::connection_reset) return 0;
        if (error) throw std::system_error(error);
        if (direct) return n;
        begin_ = 0;
        end_ = n;
    }
    const size_t n = std::min(capacity, end_ - begin_);
    std::memcpy(destination, buffer_.data() + begin_, n);
    begin_ += n;
    return n;
}

void writeFrame(asio::ip::tcp::socket& socket, uint8_t textType, const std::string& text,
                const std::vector<uint8_t>& payload) {
    const bool withPayload = !payload.empty();
    const auto header = withPayload ? frameHeader(kPayloadFrame, payload.size()) : frameHeader(textType, text.size());
    const auto textLength = textLengthField(uint32_t(text.size()));
    std::vector<asio::const_buffer> pieces{asio::buffer(header)};
    if (withPayload) {
        pieces.push_back(asio::buffer(payload));
        pieces.push_back(asio::buffer(textLength));
    }
    pieces.push_back(asio::buffer(text));
    asio::write(socket, pieces);
}

}  // namespace qv
