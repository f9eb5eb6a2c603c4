#include "cards/card_tables.h"

#include "cards/combo_tables.h"
#include "cards/evaluator_tables.h"

namespace qv {

void buildCardTables() {
    buildComboTables();
    buildEvaluatorTables();
}

}  // namespace qv
