#pragma once
// Server mode as the rest of the program sees it: one TCP client at a time sends framed command
// lines and gets one reply frame per line, with the solver's reports as notice frames between.
// Whoever connects can run any command, the ones that read and write files included.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// Opens the listening socket on `address` (empty: every IPv4 address) and `port`, and writes
// "Listening to <address>:<port>". When a step fails, the error names it and the program ends
// with status 1: it cannot serve without the socket.
void startServer(const std::string& address, int port);
// Serves clients one after another. Returns only with the exit-after-disconnect switch, when a
// client has gone or sent an empty line.
void runServerLoop();

// True once startServer has succeeded: load_tree then reads the last file a client sent, and
// show_metadata refuses.
bool serverSessionExists();
// The file that the last type-3 frame filled, in the working directory.
const std::string& receivedFilePath();
// A type-2 frame to the connected client, if there is one; callable from any thread.
void sendNotice(const std::string& text);

// The payload of the message being executed, and the payload its reply will carry. Command
// thread only.
std::vector<uint8_t>& incomingPayload();
std::vector<uint8_t>& outgoingPayload();

}  // namespace qv
