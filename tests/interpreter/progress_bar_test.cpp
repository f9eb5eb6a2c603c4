#include <gtest/gtest.h>

#include "interpreter/progress_bar.h"
#include "session_fixture.h"
#include "solver/settings.h"

namespace qv {
namespace {

class ProgressBarTest : public FreshSession {
protected:
    void TearDown() override {
        solverSettings().progressBar = false;
        FreshSession::TearDown();
    }
    static std::string drawn(int filled, bool solid, int width) {
        testing::internal::CaptureStdout();
        drawProgressBar(filled, solid, width);
        return testing::internal::GetCapturedStdout();
    }
};

TEST_F(ProgressBarTest, DrawsErasesAndStaysSilentWhenOff) {
    solverSettings().progressBar = false;
    EXPECT_EQ(drawn(3, true, 5), "");
    solverSettings().progressBar = true;
    const struct {
        int filled;
        bool solid;
        int width;
        std::string text;
    } cases[] = {
        {3, true, 5, "\r[===  ]"},
        {2, false, 4, "\r[--  ]"},
        {0, true, 3, "\r[   ]"},
        {4, false, 4, "\r[----]"},
        {6, true, 4, "\r[======]"},  // never cut: the solver sizes it
        {-1, true, 3, "\r     \r"},
    };
    for (const auto& c : cases) EXPECT_EQ(drawn(c.filled, c.solid, c.width), c.text) << c.filled;
}

TEST_F(ProgressBarTest, ColouredInYellowWithColourText) {
    solverSettings().progressBar = true;
    interpreter().flags.colorText = true;
    EXPECT_EQ(drawn(1, true, 2), "\x1b[93m\r[= ]\x1b[0m");
}

}  // namespace
}  // namespace qv
