#include "cards/card_tables.h"

#include "cards/combo_tables.h"

namespace qv {

void buildCardTables() {
    buildComboTables();
}

}  // namespace qv
