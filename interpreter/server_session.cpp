#include "interpreter/server_session.h"

#include <chrono>
#include <cstdio>
#include <new>
#include <optional>
#include <thread>

#include "interpreter/reply.h"
#include "platform/files.h"

namespace qv {

namespace {

// The content of a type-3 frame, written to the received-file path as it arrives. A file that
// cannot be written drops the client, and nothing half-written is left behind.
class ReceivedFileSink : public FileSink {
public:
    explicit ReceivedFileSink(const std::string& path) : path_(path) {}

    void begin() override {
        guarded([&] { writer_.emplace(path_); });
    }
    void write(const uint8_t* data, size_t size) override {
        guarded([&] { writer_->write(data, size); });
    }
    void finish() override {
        guarded([&] {
            writer_->close();
            writer_.reset();
        });
    }
    void discard() noexcept override {
        writer_.reset();
        removeFile(path_);
    }

private:
    template <class Step>
    void guarded(Step step) {
        try {
            step();
        } catch (const std::system_error& e) {
            throw FrameError("can't write " + path_ + " (" + e.code().message() + ")");
        }
    }

    std::string path_;
    std::optional<FileWriter> writer_;
};

std::string endpointText(const asio::ip::tcp::endpoint& endpoint) {
    return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

}  // namespace

ServerSession::ServerSession(const asio::ip::tcp::endpoint& endpoint, std::string receivedFile)
    : acceptor_(io_), socket_(io_), source_(socket_), receivedFile_(std::move(receivedFile)) {
    asio::error_code error;
    auto check = [&](const char* step) {
        if (error) throw ServerStartError(step, error.message());
    };
    acceptor_.open(endpoint.protocol(), error);
    check("open");
    acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true), error);
    check("set_option");
    acceptor_.bind(endpoint, error);
    check("bind");
    acceptor_.listen(asio::socket_base::max_listen_connections, error);
    check("listen");
}

ServerMessage ServerSession::nextRequest() {
    if (!connected_) acceptClient();
    ServerMessage message;
    ReceivedFileSink files(receivedFile_);
    try {
        switch (readFrame(source_, files, message)) {
            case FrameEnd::Received: return message;
            case FrameEnd::ClosedAtHeader: printLocked("client disconnected\n"); break;
            case FrameEnd::ClosedInFrame: printLocked("client disconnected in the middle of a frame\n"); break;
        }
    } catch (const FrameError& e) {
        printLocked("client dropped: %s\n", e.what());
    } catch (const std::system_error& e) {
        printLocked("client dropped: read failed (%s)\n", e.code().message().c_str());
    } catch (const std::bad_alloc&) {
        printLocked("client dropped: out of memory for its frame\n");
    }
    dropClient();
    return {};
}

void ServerSession::acceptClient() {
    for (;;) {
        asio::ip::tcp::socket client(io_);
        asio::error_code error;
        acceptor_.accept(client, error);
        if (!error) {
            asio::error_code ignored;
            // Replies are small and the client waits for each: sending at once beats batching.
            client.set_option(asio::ip::tcp::no_delay(true), ignored);
            // A peer that vanishes without closing (a cut network) is found out eventually.
            client.set_option(asio::socket_base::keep_alive(true), ignored);
            const auto remote = client.remote_endpoint(ignored);
            {
                std::lock_guard<std::mutex> lock(sendMutex_);
                socket_ = std::move(client);
                connected_ = true;
            }
            source_.clear();
            printLocked("%s connected\n", endpointText(remote).c_str());
            return;
        }
        printLocked("accept failed (%s)\n", error.message().c_str());
        // Failures such as running out of file descriptors last a while: wait rather than spin.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void ServerSession::dropClient() {
    asio::error_code ignored;
    // Shutting down first ends a notice send that is blocked on a client that does not read, so
    // that the send mutex can be had.
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    std::lock_guard<std::mutex> lock(sendMutex_);
    socket_.close(ignored);
    connected_ = false;
}

void ServerSession::sendReply(const std::string& text, const std::vector<uint8_t>& payload) {
    send(kReplyFrame, text, payload);
}

void ServerSession::sendNotice(const std::string& text) { send(kNoticeFrame, text, {}); }

void ServerSession::send(uint8_t textType, const std::string& text, const std::vector<uint8_t>& payload) {
    std::lock_guard<std::mutex> lock(sendMutex_);
    if (!connected_) return;
    try {
        writeFrame(socket_, textType, text, payload);
    } catch (const std::system_error& e) {
        fprintf(stderr, "send failed (%s)\n", e.code().message().c_str());
    }
}

}  // namespace qv
