// When the live pages' one-second ticks run, across activation, leaving, Cancel and apply.
#include <gtest/gtest.h>
#include "live_polling.h"

namespace {

TEST(LiveTimer, AnApplyThatLeavesThePageOnScreenStartsTheTicksAgain) {
    // The sheet stopped them with the deactivation it sends before every apply.
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Applied, true, false), LiveTimerChange::Start);
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Applied, true, true), LiveTimerChange::None);    // OK closes
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Applied, false, false), LiveTimerChange::None);  // another page
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Activated, true, false), LiveTimerChange::Start);
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Deactivated, true, false), LiveTimerChange::Stop);
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Reset, true, true), LiveTimerChange::Stop);
    EXPECT_EQ(LiveTimerChangeFor(LivePageEvent::Other, true, false), LiveTimerChange::None);
}

}  // namespace
