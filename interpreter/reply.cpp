// The pending reply and the writers of standard output.
#include "interpreter/reply.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>

#include "interpreter/errors.h"
#include "interpreter/session.h"
#include "platform/console.h"
#include "platform/process.h"

namespace qv {

namespace {

constexpr size_t kPieceLimit = 65536;

std::string formatPiece(const char* format, va_list args) {
    char buffer[kPieceLimit];
    int n = vsnprintf(buffer, sizeof buffer, format, args);
    if (n < 0) return {};
    return std::string(buffer, std::min<size_t>(size_t(n), kPieceLimit - 1));
}

void writeLockedWith(const char* format, va_list args, bool notice) {
    std::string text = formatPiece(format, args);
    std::lock_guard<std::mutex> lock(outputLock());
    const bool color = notice && interpreter().flags.colorText;
    if (color) setConsoleColor(11);
    fwrite(text.data(), 1, text.size(), stdout);
    if (color) setConsoleColor(7);
    fflush(stdout);
}

std::vector<std::function<void()>>& afterDeliveryActions() {
    static std::vector<std::function<void()>> actions;
    return actions;
}

void appendReply(const std::string& text) {
    InterpreterState& st = interpreter();
    const size_t own = st.pendingReply.size() - std::min(st.commandReplyStart, st.pendingReply.size());
    if (own + text.size() > kMaxReplyBytes) throw ReplyTooLong();
    st.pendingReply += text;
}

// Every non-empty line followed by LF; empty lines are dropped.
void writeConsoleReply(const std::string& text) {
    std::lock_guard<std::mutex> lock(outputLock());
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) {
            fwrite(text.data() + start, 1, end - start, stdout);
            fputc('\n', stdout);
        }
        start = end + 1;
    }
}

}  // namespace

InterpreterState& interpreter() {
    static InterpreterState state;
    return state;
}

std::mutex& outputLock() {
    static std::mutex lock;
    return lock;
}

void reply(const char* format, ...) {
    InterpreterState& st = interpreter();
    if (format[0] == '#' && !st.allowHashLines) return;
    va_list args;
    va_start(args, format);
    std::string piece = formatPiece(format, args);
    va_end(args);
    appendReply(piece);
}

void replyText(const std::string& text) { appendReply(text); }

void replyEndLine() {
    if (interpreter().endString.empty()) replyText("END\n");
}

void replyOk(const TokenList& tokens) {
    if (!interpreter().flags.suppressOk) reply("%s ok!\n", tokens.at(0).c_str());
}

void allowHashLinesForThisReply() { interpreter().allowHashLines = true; }

void printDirect(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatPiece(format, args);
    va_end(args);
    fwrite(text.data(), 1, text.size(), stdout);
}

void printLocked(const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeLockedWith(format, args, false);
    va_end(args);
}

void printNotice(const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeLockedWith(format, args, true);
    va_end(args);
}

ReplyRouteScope::ReplyRouteScope(ReplyRoute* route) : previous_(interpreter().replyRoute) {
    interpreter().replyRoute = route;
}

ReplyRouteScope::~ReplyRouteScope() { interpreter().replyRoute = previous_; }

void flushReply() {
    if (interpreter().replyRoute) return;
    deliverReply();
}

void deliverReply() {
    std::string text = takeReply();
    if (ReplyRoute* route = interpreter().replyRoute)
        route->deliver(std::move(text));
    else
        writeConsoleReply(text);
    replyDelivered();
}

std::string takeReply() {
    InterpreterState& st = interpreter();
    std::string text;
    {
        std::lock_guard<std::mutex> lock(outputLock());
        text.swap(st.pendingReply);
    }
    st.commandReplyStart = 0;
    st.allowHashLines = false;
    return text;
}

void replyDelivered() {
    std::vector<std::function<void()>> actions;
    actions.swap(afterDeliveryActions());
    for (auto& action : actions) action();
}

void afterReplyDelivered(std::function<void()> action) { afterDeliveryActions().push_back(std::move(action)); }

void argError(const TokenList& tokens) {
    char buffer[256];
    snprintf(buffer, sizeof buffer, "ERROR: %s incorrect or missing argument\n",
             tokens.empty() ? "" : tokens[0].c_str());
    throw ReplyError(buffer);
}

void valueError(const std::string& message) {
    char buffer[256];
    snprintf(buffer, sizeof buffer, "ERROR: %s %s\n", interpreter().currentCommand.c_str(),
             message.c_str());
    throw ReplyError(buffer);
}

void fail(const char* message) {
    if (message)
        printDirect("fail (%s)\n", message);
    else
        printDirect("fail\n");
    endProcess(1);
}

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatPiece(format, args);
    va_end(args);
    return text;
}

std::string joinTokens(const TokenList& tokens, size_t first, size_t end) {
    std::string text;
    for (size_t i = first; i < std::min(end, tokens.size()); ++i) {
        if (i > first) text += ' ';
        text += tokens[i];
    }
    return text;
}

std::vector<std::string> splitString(const std::string& text, char delimiter) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(delimiter, start);
        if (end == std::string::npos) end = text.size();
        if (end > start) fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return fields;
}

std::string trimBlanks(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return text;
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace qv
