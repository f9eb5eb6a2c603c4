#include "workers/worker_link.h"

#include <asio/connect.hpp>
#include <asio/ip/address.hpp>

#include "interpreter/frame_socket.h"
#include "interpreter/reply.h"
#include "solver/subgame_host.h"

namespace qv {

namespace {

// A worker sends no files; the content of one would be thrown away.
class NoFiles : public FileSink {
public:
    void begin() override {}
    void write(const uint8_t*, size_t) override {}
    void finish() override {}
    void discard() noexcept override {}
};

}  // namespace

WorkerLink::WorkerLink(int index, const WorkerAddress& address, std::chrono::milliseconds timeout)
    : address_(address),
      name_(formatText("worker %d (%s:%d)", index, address.host.c_str(), address.port)),
      socket_(io_) {
    asio::error_code error;
    asio::ip::tcp::resolver resolver(io_);
    auto endpoints = resolver.resolve(address.host, std::to_string(address.port), error);
    if (error) throw RemoteFailure("can't connect");
    // Connecting asynchronously bounds the wait for a host that never answers.
    bool done = false;
    asio::async_connect(socket_, endpoints, [&](const asio::error_code& e, const asio::ip::tcp::endpoint&) {
        error = e;
        done = true;
    });
    io_.run_for(timeout);
    if (!done || error) throw RemoteFailure("can't connect");
    asio::error_code ignored;
    socket_.set_option(asio::ip::tcp::no_delay(true), ignored);
    socket_.set_option(asio::socket_base::keep_alive(true), ignored);
    reader_ = std::thread([this] { readFrames(); });
}

WorkerLink::~WorkerLink() {
    asio::error_code ignored;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    if (reader_.joinable()) reader_.join();
    socket_.close(ignored);
}

void WorkerLink::readFrames() {
    SocketSource source(socket_);
    NoFiles files;
    for (;;) {
        ServerMessage message;
        FrameEnd end = FrameEnd::ClosedInFrame;
        try {
            end = readFrame(source, files, message);
        } catch (const std::exception&) {
            // A broken frame or a failed read: the link is as good as closed.
        }
        if (end != FrameEnd::Received) break;
        if (message.type == kReplyFrame || message.type == kPayloadFrame) {
            std::lock_guard<std::mutex> lock(slotMutex_);
            reply_ = std::move(message);
            replied_.notify_all();
        } else {
            // A worker's own announcements, such as its solver reports.
            printLocked("%s", message.text.c_str());
        }
    }
    std::lock_guard<std::mutex> lock(slotMutex_);
    closed_ = true;
    replied_.notify_all();
}

void WorkerLink::fail(const std::string& why) {
    std::string failure;
    {
        std::lock_guard<std::mutex> lock(slotMutex_);
        if (failure_.empty()) failure_ = name_ + " " + why;
        failure = failure_;
    }
    // Ends the reader thread: a late reply must never be taken for the answer to a later request.
    asio::error_code ignored;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    throw RemoteFailure(failure);
}

bool WorkerLink::failed() {
    std::lock_guard<std::mutex> lock(slotMutex_);
    return !failure_.empty() || closed_;
}

void WorkerLink::send(const std::string& text, const std::vector<uint8_t>& payload) {
    bool closed;
    {
        std::lock_guard<std::mutex> lock(slotMutex_);
        if (!failure_.empty()) throw RemoteFailure(failure_);
        closed = closed_;
        reply_.reset();
    }
    // fail() takes the slot's lock itself.
    if (closed) fail("disconnected");
    try {
        writeFrame(socket_, kCommandFrame, text, payload);
    } catch (const std::system_error&) {
        fail("disconnected");
    }
}

ServerMessage WorkerLink::receive(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(slotMutex_);
    replied_.wait_for(lock, timeout, [&] { return reply_ || closed_ || !failure_.empty(); });
    if (reply_) {
        ServerMessage message = std::move(*reply_);
        reply_.reset();
        return message;
    }
    if (!failure_.empty()) throw RemoteFailure(failure_);
    const bool closed = closed_;
    lock.unlock();
    if (closed) fail("disconnected");
    fail(formatText("did not answer within %lld seconds", (long long)(timeout.count() / 1000)));
}

}  // namespace qv
