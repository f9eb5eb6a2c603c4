#pragma once
// Every test starts from a fresh interpreter: default flags, no end string, no variables, no
// pending reply, no open skip.
#include <gtest/gtest.h>

#include "interpreter/dispatch.h"
#include "interpreter/session.h"
#include "interpreter/variables.h"

namespace qv {

class FreshSession : public ::testing::Test {
protected:
    void SetUp() override {
        interpreter() = InterpreterState{};
        variables().clear();
    }
    void TearDown() override { SetUp(); }

    // Dispatches one line as the standard-input loop would and returns the pending reply.
    static std::string run(const std::string& line) {
        dispatchCommand(tokenizeLine(line));
        std::string answer = takeReply();
        replyDelivered();
        return answer;
    }
};

}  // namespace qv
