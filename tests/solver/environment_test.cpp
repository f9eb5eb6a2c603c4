// Every solver test runs with the card and evaluator tables built, as the program has them.
#include <gtest/gtest.h>

#include "cards/card_tables.h"

namespace {

class CardTablesEnvironment : public ::testing::Environment {
public:
    void SetUp() override { qv::buildCardTables(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new CardTablesEnvironment);

}  // namespace
