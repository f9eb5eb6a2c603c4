#pragma once
// The pending reply of the command being executed, the routes that deliver it, and the writers
// of standard output. Handlers answer only through reply(); the read loops deliver the pending
// reply afterwards.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace qv {

using TokenList = std::vector<std::string>;

// The longest reply one command may build. A reply that would grow beyond it is refused with
// "reply too long" instead of eating the machine's memory (replies of earlier commands still
// pending do not count). It stays 1 MiB below the longest text
// frame (64 MiB), so a reply with the error line and end string that follow it always fits one.
constexpr size_t kMaxTextFrameBytes = size_t(64) << 20;
constexpr size_t kMaxReplyBytes = kMaxTextFrameBytes - (size_t(1) << 20);

// Where finished replies go. Without a route installed they go to the console: flushReply()
// writes the reply so far at once, and handlers call it mid-command so that their lines come
// before the solver's. A server client gets exactly one reply frame per command line, so its
// route takes the reply whole when the command is done, and flushReply() leaves it pending.
class ReplyRoute {
public:
    virtual ~ReplyRoute() = default;
    virtual void deliver(std::string reply) = 0;
};

// Installs a route (nullptr: the console) until the end of the scope.
class ReplyRouteScope {
public:
    explicit ReplyRouteScope(ReplyRoute* route);
    ~ReplyRouteScope();
    ReplyRouteScope(const ReplyRouteScope&) = delete;
    ReplyRouteScope& operator=(const ReplyRouteScope&) = delete;

private:
    ReplyRoute* previous_;
};

// Appends printf-formatted text to the pending reply (cut at 65,535 characters). A format that
// begins with '#' is dropped unless hash lines are allowed for this reply.
void reply(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends text verbatim (no formatting, no '#' rule).
void replyText(const std::string& text);
// "END\n" when no end string is set: the terminator of multi-line answers.
void replyEndLine();
// "<command> ok!\n" unless ok lines are suppressed.
void replyOk(const TokenList& tokens);
// Lets lines beginning with '#' through until the reply is delivered.
void allowHashLinesForThisReply();

void printDirect(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printLocked(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
// On the console: writes every non-empty line of the pending reply to standard output, then runs
// the after-delivery actions. On a route that takes whole replies: does nothing.
void flushReply();
// The command is done: hands the whole pending reply to the route in force (the console writes
// it as flushReply() does), then runs the after-delivery actions.
void deliverReply();
// Moves the pending reply out. Taking it is not delivering it: the after-delivery actions wait
// for replyDelivered().
std::string takeReply();
void replyDelivered();
// Runs `action` on the command thread once the pending reply has been delivered, so that
// whatever it sets off cannot reach the client before the reply.
void afterReplyDelivered(std::function<void()> action);

[[noreturn]] void argError(const TokenList& tokens);
[[noreturn]] void valueError(const std::string& message);
[[noreturn]] void fail(const char* message = nullptr);

// printf-style formatting into a string (one reply piece at most).
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string joinTokens(const TokenList& tokens, size_t first, size_t end);
std::vector<std::string> splitString(const std::string& text, char delimiter);
std::string trimBlanks(const std::string& text);

}  // namespace qv
