#pragma once
#include <string>
#include <vector>

#include "interpreter/reply.h"

namespace qv {

using CommandHandler = void (*)(TokenList& tokens);

struct CommandRow {
    std::string name;
    CommandHandler handler;
    int tokenCount;  // command word included; -1 = any number of tokens
    const char* usage = nullptr;  // what help shows after the word, for commands that take words
};

const std::vector<CommandRow>& commandTable();
const CommandRow* findCommand(const std::string& word);

// The answer of a command whose subsystem is not built yet.
[[noreturn]] void notAvailableYet();

}  // namespace qv
