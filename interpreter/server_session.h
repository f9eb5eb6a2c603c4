#pragma once
// The server's connection to its clients: the listening socket, the one client served at a time,
// receiving its frames and sending replies and notices.
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "interpreter/frame_socket.h"
#include "interpreter/frames.h"

namespace qv {

// A start-up step that failed ("open", "set_option", "bind", "listen"), with the system's text.
class ServerStartError : public std::runtime_error {
public:
    ServerStartError(const std::string& step, const std::string& message)
        : std::runtime_error(step + ": " + message) {}
};

class ServerSession {
public:
    ServerSession(const asio::ip::tcp::endpoint& endpoint, std::string receivedFile);

    // The next command of the client, accepting one first when none is connected. A client that
    // goes away, or is dropped for a frame the server refuses, yields an empty text; the event is
    // logged on the console in one line and the next call accepts the next client.
    ServerMessage nextRequest();
    // Reply frames come from the command thread, notices from solver threads: each frame is
    // written whole under the send mutex. A failed send is written to standard error and the
    // session goes on; the next receive finds out whether the client is still there.
    void sendReply(const std::string& text, const std::vector<uint8_t>& payload);
    void sendNotice(const std::string& text);

    bool clientConnected() const { return connected_; }
    const std::string& receivedFile() const { return receivedFile_; }
    asio::ip::tcp::endpoint listeningEndpoint() const { return acceptor_.local_endpoint(); }

private:
    void acceptClient();
    void dropClient();
    void send(uint8_t textType, const std::string& text, const std::vector<uint8_t>& payload);

    asio::io_context io_;
    asio::ip::tcp::acceptor acceptor_;
    // Replaced and closed only by the command thread, and then under sendMutex_; the command
    // thread reads from it while a solver thread may write to it, which the system allows.
    asio::ip::tcp::socket socket_;
    SocketSource source_;
    std::mutex sendMutex_;
    bool connected_ = false;
    std::string receivedFile_;
};

}  // namespace qv
