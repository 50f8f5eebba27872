#include "tests/model/window_checks.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace infotest::model {

void CheckClockAfterStall(RealWindow& window, const CoreOf& core) {
    window.Open(Sequence{});
    const FormCore& form = core();
    window.StallClock(5);
    ASSERT_EQ(form.Run().State().ElapsedSeconds, 5);
    window.StallClock(600);
    EXPECT_EQ(form.Run().State().ElapsedSeconds, 605);
    Observation seen;
    window.Observe(seen);
    EXPECT_EQ(seen.window[Control::Label11].caption, "10");
    EXPECT_EQ(seen.window[Control::Label13].caption, "5");
    EXPECT_FALSE(window.ProgramEnded());
}

void CheckExceptionEndsTheRun(RealWindow& window, const CoreOf& core) {
    window.Open(Sequence{});
    FormCore& form = core();
    std::vector<ShownBox> boxes;
    std::vector<int> exits;
    std::size_t boxesBeforeTheEnd = 0;
    bool thrown = false;
    form.SetMessagePresenter([&boxes](std::string_view prompt, std::string_view title, MessageIcon icon) {
        boxes.push_back({std::string(prompt), std::string(title), icon, {}});
        return kOkResult;
    });
    form.SetProgramEnder([&](int status) {
        if (!thrown) {
            thrown = true;
            throw std::runtime_error("the end failed");
        }
        exits.push_back(status);
        boxesBeforeTheEnd = boxes.size();
    });
    window.Apply(PupilEvent{Action::Exit});
    ASSERT_TRUE(thrown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].prompt, kErrorUnexpected);
    EXPECT_EQ(boxes[0].title, kErrorTitle);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Critical);
    EXPECT_EQ(exits, std::vector<int>{kErrorExitStatus});
    EXPECT_EQ(boxesBeforeTheEnd, 1u);
    EXPECT_TRUE(form.Ended());
    EXPECT_EQ(form.ExitStatus(), kErrorExitStatus);
}

}  // namespace infotest::model
