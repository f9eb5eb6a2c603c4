#pragma once
// Console text attributes. Colour numbers are the classic 16-colour console attributes
// (3 cyan, 4 red, 5 magenta, 6 dark yellow, 7 grey, 10 bright green, 11 bright cyan, 14 yellow),
// written to standard output as ANSI escape sequences.
namespace qv {

void setConsoleColor(int attribute);

}  // namespace qv
