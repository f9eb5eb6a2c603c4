// The server loop: receive a command line, trace it on the console, dispatch it, send its reply
// as one frame. Commands run on this thread only, one client after another.
#include <cstdio>
#include <memory>

#include "interpreter/dispatch.h"
#include "interpreter/server.h"
#include "interpreter/server_session.h"
#include "interpreter/session.h"
#include "platform/console.h"
#include "platform/process.h"

namespace qv {

namespace {

constexpr const char* kReceivedFileName = "quorvane_temp";

std::unique_ptr<ServerSession>& session() {
    static std::unique_ptr<ServerSession> instance;
    return instance;
}

// The traffic of these two commands is too frequent to be worth a console line.
bool isTraced(const TokenList& tokens) {
    return tokens.empty() || (tokens[0] != "ping" && tokens[0] != "traverse_subgames");
}

void writeTrace(const char* prefix, const std::string& text, int color) {
    std::lock_guard<std::mutex> lock(outputLock());
    const bool colored = color >= 0 && interpreter().flags.colorText;
    if (colored) setConsoleColor(color);
    fputs(prefix, stdout);
    fwrite(text.data(), 1, text.size(), stdout);
    if (colored) setConsoleColor(7);
}

// Delivers a command's reply as one frame, with the payload the command left for it.
class ClientRoute : public ReplyRoute {
public:
    ClientRoute(ServerSession& session, bool traced) : session_(session), traced_(traced) {}

    void deliver(std::string reply) override {
        // Printed in the colour the command left (red after an error), like the console's replies.
        if (traced_ && !reply.empty()) writeTrace("< ", reply, -1);
        // The console shows a command before its client sees the answer.
        fflush(stdout);
        session_.sendReply(reply, outgoingPayload());
    }

private:
    ServerSession& session_;
    bool traced_;
};

void serveCommand(ServerSession& server, const std::string& line) {
    TokenList tokens = tokenizeLine(line);
    const bool traced = isTraced(tokens);
    if (traced) writeTrace("> ", line + "\n", 6);
    ClientRoute route(server, traced);
    ReplyRouteScope scope(&route);
    outgoingPayload().clear();
    dispatchCommand(tokens);
    deliverReply();
    if (interpreter().flags.colorText) setConsoleColor(7);
    fflush(stdout);
}

}  // namespace

void startServer(const std::string& address, int port) {
    asio::error_code error;
    const asio::ip::address host = address.empty() ? asio::ip::address(asio::ip::address_v4::any())
                                                   : asio::ip::make_address(address, error);
    try {
        if (error) throw ServerStartError("bind", "'" + address + "' is not an IP address");
        session() = std::make_unique<ServerSession>(asio::ip::tcp::endpoint(host, uint16_t(port)), kReceivedFileName);
    } catch (const ServerStartError& e) {
        printDirect("ERROR: can't start the server (%s)\n", e.what());
        endProcess(1);
    }
    reportFailedWritesAsErrors();
    const auto endpoint = session()->listeningEndpoint();
    printDirect("Listening to %s:%u\n", endpoint.address().to_string().c_str(), unsigned(endpoint.port()));
    fflush(stdout);
}

void runServerLoop() {
    ServerSession& server = *session();
    for (;;) {
        incomingPayload().clear();
        ServerMessage message = server.nextRequest();
        if (message.text.empty()) {
            if (!server.clientConnected()) resetFlowControl();
            if (interpreter().flags.exitAfterDisconnect) return;
            continue;
        }
        incomingPayload() = std::move(message.payload);
        serveCommand(server, message.text);
    }
}

bool serverSessionExists() { return session() != nullptr; }

const std::string& receivedFilePath() {
    static const std::string path = kReceivedFileName;
    return path;
}

void sendNotice(const std::string& text) {
    if (session()) session()->sendNotice(text);
}

std::vector<uint8_t>& incomingPayload() {
    static std::vector<uint8_t> payload;
    return payload;
}

std::vector<uint8_t>& outgoingPayload() {
    static std::vector<uint8_t> payload;
    return payload;
}

}  // namespace qv
