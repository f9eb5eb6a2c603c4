#pragma once

namespace qv {

// Builds the combo tables and the evaluator tables once, before the first command is read.
void buildCardTables();

}  // namespace qv
