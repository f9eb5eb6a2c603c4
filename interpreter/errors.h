#pragma once
// Error types shared by the engine and the protocol layer. The engine never knows which command
// is running, so it raises either a message that the dispatcher prefixes with "ERROR: <command> "
// (EngineError) or a complete reply line (ReplyError).
#include <stdexcept>
#include <string>

namespace qv {

// Reported as "ERROR: <current command word> <message>\n", the command-error form.
class EngineError : public std::runtime_error {
public:
    explicit EngineError(const std::string& message) : std::runtime_error(message) {}
};

// Reported verbatim: the text is the whole reply line (a missing final LF is added).
class ReplyError : public std::runtime_error {
public:
    explicit ReplyError(const std::string& line) : std::runtime_error(line) {}
};

// A command's reply would grow beyond kMaxReplyBytes: the dispatcher drops what the command
// replied and answers "reply too long" in the command-error form.
class ReplyTooLong : public std::exception {
public:
    const char* what() const noexcept override { return "reply too long"; }
};

// Fatal internal failure of a codec: reported as "#exception: <text>" and the process ends.
class CodecError : public std::exception {
public:
    explicit CodecError(std::string text) : text_(std::move(text)) {}
    const char* what() const noexcept override { return text_.c_str(); }
private:
    std::string text_;
};

}  // namespace qv
