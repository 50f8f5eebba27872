#pragma once

// The services of a real window under test, recorded instead of performed:
// a message box is noted, with the window as the pupil saw it behind it, and
// answered OK at once; the end of the program is noted; the random draws are
// the sequence's own and the re-seeds are counted. Both windows' drivers use
// it, so that they compare with the model in the same way.

#include <functional>
#include <vector>

#include "tests/model/sequence.h"
#include "tests/model/window_view.h"
#include "ui/core/form_core.h"

namespace infotest::testing {

class RecordedServices {
public:
    // Starts afresh on a new window: installs the recording on it and sets
    // its clock to the sequence's opening seconds. `readWindow` reads what
    // the window shows.
    void Install(FormCore& form, const model::Sequence& sequence, std::function<void(model::WindowView&)> readWindow);

    bool Ended() const { return !exits_.empty(); }
    const std::vector<model::ShownBox>& Boxes() const { return boxes_; }
    const std::vector<int>& Exits() const { return exits_; }

    // Hands the boxes opened since the last report, the end and the counts
    // to an observation; the program has ended for the pupil once the end
    // was asked for and the window is off the screen.
    void Report(model::Observation& into, bool windowShown);

private:
    std::function<void(model::WindowView&)> readWindow_;
    std::vector<model::ShownBox> boxes_;
    std::vector<int> exits_;
    int reseeds_ = 0;
    int touchesAfterEnd_ = 0;
};

}  // namespace infotest::testing
