// Drawing and erasing the bar are the solver_progress_width protocol script's; its colour and its
// scale are checked here.
#include <gtest/gtest.h>

#include <climits>

#include "interpreter/progress_bar.h"
#include "session_fixture.h"

namespace qv {
namespace {

using ProgressBarTest = FreshSession;

TEST_F(ProgressBarTest, ColouredInYellowWithColourText) {
    interpreter().flags.colorText = true;
    testing::internal::CaptureStdout();
    drawProgressBar(1, true, 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\x1b[93m\r[= ]\x1b[0m");
}

// Whatever the cycle, the bar fits a console line, fills up steadily and is full at the cycle's
// last iteration; a short cycle keeps one mark per iteration.
TEST(ProgressBarScale, BoundedSteadyAndFullAtTheEnd) {
    for (int cycle : {1, 2, 7, 99, 100, 101, 250, 1000003, 200000000, INT_MAX}) {
        const int width = progressBarWidth(cycle);
        EXPECT_GE(width, 1);
        EXPECT_LE(width, kMaxProgressMarks);
        if (cycle <= kMaxProgressMarks) {
            EXPECT_EQ(width, cycle);
        }
        int previous = 0;
        for (int done : {1, 2, 3, cycle / 3, cycle / 2, cycle - 1, cycle}) {
            if (done < previous || done < 1 || done > cycle) continue;
            const int marks = progressBarMarks(done, cycle);
            EXPECT_GE(marks, progressBarMarks(previous, cycle)) << cycle << " " << done;
            EXPECT_LE(marks, width);
            EXPECT_GE(marks, 1);
            if (cycle <= kMaxProgressMarks) {
                EXPECT_EQ(marks, done);
            }
            previous = done;
        }
        EXPECT_EQ(progressBarMarks(cycle, cycle), width) << cycle;
    }
}

}  // namespace
}  // namespace qv
