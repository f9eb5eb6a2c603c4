#pragma once
// The pending reply of the command being executed, and the writers of standard output.
// Handlers answer only through reply(); the read loops write the pending reply out afterwards.
#include <functional>
#include <string>
#include <vector>

namespace qv {

using TokenList = std::vector<std::string>;

// Appends printf-formatted text to the pending reply (cut at 65,535 characters). A format that
// begins with '#' is dropped unless hash lines are allowed for this reply.
void reply(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Appends text verbatim (no formatting, no '#' rule).
void replyText(const std::string& text);
// "END\n" when no end string is set: the terminator of multi-line answers.
void replyEndLine();
// "<command> ok!\n" unless ok lines are suppressed.
void replyOk(const TokenList& tokens);
// Lets lines beginning with '#' through until the next flushReply().
void allowHashLinesForThisReply();
// Writes this reply's empty lines out too (flushReply drops them otherwise), for replies whose
// blocks a client splits at empty lines.
void keepEmptyLinesForThisReply();

void printDirect(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printLocked(const char* format, ...) __attribute__((format(printf, 1, 2)));
void printNotice(const char* format, ...) __attribute__((format(printf, 1, 2)));
void flushReply();
std::string takeReply();
// Runs `action` on the command thread once the pending reply has been written out (or taken),
// so that whatever it sets off cannot print before the reply.
void afterReplyFlushed(std::function<void()> action);

[[noreturn]] void argError(const TokenList& tokens);
[[noreturn]] void valueError(const std::string& message);
[[noreturn]] void fail(const char* message = nullptr);

// printf-style formatting into a string (one reply piece at most).
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string joinTokens(const TokenList& tokens, size_t first, size_t end);
std::vector<std::string> splitString(const std::string& text, char delimiter);
std::string trimBlanks(const std::string& text);

}  // namespace qv
