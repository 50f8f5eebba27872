#pragma once

// The checks that are the same for every window, run by each window's test
// program on its own driver, as the random pupils are: the keyboard (the Tab
// order, the option group as one stop, the arrows, a held key, Enter), the
// focus after a box, a control moved out of view, Form1 as the window
// itself, the clock after a stall and an exception out of a procedure. Each window's test program instantiates the
// suite once:
//
//   INSTANTIATE_TEST_SUITE_P(Qt, EveryWindow,
//                            ::testing::Values(model::WindowKind{"Qt", OpenQtWindow}),
//                            model::WindowKindName);

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/model/window_sequences.h"

namespace infotest {

// A control by its name in the failures of the checks.
void PrintTo(Control control, std::ostream* out);

}  // namespace infotest

namespace infotest::model {

struct WindowKind {
    const char* name;
    WindowOpener open;
};

void PrintTo(const WindowKind& kind, std::ostream* out);

// The instantiation's name: the window's.
std::string WindowKindName(const ::testing::TestParamInfo<WindowKind>& info);

// A fresh window of the kind, opened on the title screen with the questions
// in the bank's order and the options arranged, from the top, Option3,
// Option2, Option4, Option1: the topmost is not the first.
class EveryWindow : public ::testing::TestWithParam<WindowKind> {
protected:
    void SetUp() override;

    // What the window shows now; the boxes opened since the last look are
    // added to `boxes`.
    Observation Look();
    std::string CaptionOf(Control control);
    // Start, Check, a choice... as the pupil's mouse does them.
    void Do(Action action, int option = 0);
    // Tab until the control has the focus; fails when it never comes.
    void TabTo(Control control);
    // The controls Tab visits from the focused one until it comes back.
    std::vector<Control> TabCycle();
    // The options from the top of the frame down, as the pupil sees them.
    std::vector<Control> OptionsTopDown();

    std::unique_ptr<RealWindow> window;
    std::vector<ShownBox> boxes;  // recorded since the window opened
};

}  // namespace infotest::model
