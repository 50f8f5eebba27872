#pragma once

// Drives a window under test and the model of the test run with the same
// sequence of pupil actions and the same random draws, and compares what
// they show after every action.

#include <cstddef>
#include <optional>
#include <string>

#include "tests/model/sequence.h"
#include "tests/model/run_model.h"
#include "tests/model/window_view.h"

namespace infotest::model {

// A window running the real test logic: the recording fake, or the Qt window.
class WindowUnderTest {
public:
    virtual ~WindowUnderTest() = default;

    // Opens a fresh window whose random generator hands out the sequence's
    // draws and whose clock starts at its opening seconds.
    virtual void Open(const Sequence& sequence) = 0;

    // Performs one pupil action the way the window would take it (a click on
    // a hidden button does nothing, a closed window takes nothing).
    virtual void Apply(const PupilEvent& event) = 0;

    // What the window shows now, the boxes opened by the last action included.
    virtual void Observe(Observation& into) = 0;
};

struct Divergence {
    std::size_t step = 0;  // 0: the window as opened; k: after action k
    std::string differences;
};

struct SideBySideResult {
    std::size_t steps = 0;  // actions compared
    std::optional<Divergence> divergence;
    // Set when the model could not follow the sequence (it ran out of draws,
    // say): a fault of the sequence, which then proves nothing.
    std::string invalid;
    RunFacts facts;  // of the model, at the end or at the divergence
};

// Runs the sequence on both and stops at the first disagreement.
SideBySideResult RunSideBySide(const Sequence& sequence, WindowUnderTest& window, ModelFault fault = ModelFault::None);

// The model's draws for a sequence: its draws in order; running out of them
// is a fault of the sequence, not of the logic.
TestModel::DrawSource DrawsOf(const Sequence& sequence);

}  // namespace infotest::model
