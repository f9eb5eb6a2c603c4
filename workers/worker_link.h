#pragma once
// One master-side connection to a worker: the socket, a reader thread that receives the worker's
// frames, and the slot where it leaves the reply to the request in flight. A link serves one
// request at a time. A link that failed (the worker went away, or did not answer in time) stays
// failed: every later request on it fails at once with the same text, until the worker list is
// replaced.
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "interpreter/frames.h"

namespace qv {

struct WorkerAddress {
    std::string host;
    int port = 5251;
    double weight = 1;
};

class WorkerLink {
public:
    // Connects within `timeout`; raises RemoteFailure when it cannot.
    WorkerLink(int index, const WorkerAddress& address, std::chrono::milliseconds timeout);
    ~WorkerLink();
    WorkerLink(const WorkerLink&) = delete;
    WorkerLink& operator=(const WorkerLink&) = delete;

    const WorkerAddress& address() const { return address_; }
    // "worker 1 (127.0.0.1:5251)": how errors name the worker.
    const std::string& name() const { return name_; }

    // The two halves of a request, for callers that keep several links busy at once. The caller
    // holds `requestMutex()` from send to receive. Both raise RemoteFailure naming the worker.
    std::mutex& requestMutex() { return requestMutex_; }
    void send(const std::string& text, const std::vector<uint8_t>& payload);
    // Waits at most `timeout` for the reply.
    ServerMessage receive(std::chrono::milliseconds timeout);

    // True once the link has failed.
    bool failed();

private:
    void readFrames();
    [[noreturn]] void fail(const std::string& why);

    WorkerAddress address_;
    std::string name_;
    asio::io_context io_;
    asio::ip::tcp::socket socket_;
    std::thread reader_;

    std::mutex requestMutex_;
    std::mutex slotMutex_;  // guards everything below
    std::condition_variable replied_;
    std::optional<ServerMessage> reply_;
    bool closed_ = false;
    std::string failure_;  // set once the link has failed
};

}  // namespace qv
