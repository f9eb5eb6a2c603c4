#include "cards/card_tables.h"

namespace qv {

void buildCardTables() {}

}  // namespace qv
