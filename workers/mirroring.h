#pragma once
// A master with workers sends them the command lines it reads from standard input (before it
// runs each) and from scripts (after it has run each), so that every instance holds the same
// game. Commands that only read, wait or touch this process stay local.
#include <string>

namespace qv {

// The command words a master never sends its workers.
bool isLocalOnlyCommand(const std::string& word);

// Installs the mirroring of lines; it sends nothing while the worker list is empty.
void installMirroring();

}  // namespace qv
