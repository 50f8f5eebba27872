#pragma once

// The real Qt window as a window under test for the model of the test run:
// the pupil's actions are real mouse clicks at the places where the controls
// are shown, key presses through the focus chain, window-system close
// requests and ticks delivered to Timer1 as its event dispatcher delivers
// them; what the window shows is read back from its widgets.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "tests/model/side_by_side.h"
#include "ui/form1.h"

class QTimer;

namespace infotest::testing {

class QtWindow final : public model::WindowUnderTest {
public:
    QtWindow();
    ~QtWindow() override;

    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    void Open(const model::Sequence& sequence) override;
    void Apply(const model::PupilEvent& event) override;
    void Observe(model::Observation& into) override;

    Form1& Window() const { return *form_; }

    // Whether a tick of Timer1 arrived that the test did not deliver (the
    // event loop ran for more than a second).
    bool TickedByItself() const { return ticksSeen_ != ticksSent_; }

    // Keyboard presses of Next that found no way to the button.
    int UnreachableNextKeys() const { return unreachableNextKeys_; }

private:
    QWidget* WidgetOf(Control control) const { return widgets_.at(static_cast<std::size_t>(control)); }
    void ReadWindow(model::WindowView& into) const;
    void ClickControl(Control control);
    void PressNextFromTheKeyboard();
    bool Ended() const;

    std::unique_ptr<Form1> form_;
    std::array<QWidget*, kControlCount> widgets_{};
    QTimer* timer_ = nullptr;
    std::vector<model::ShownBox> boxes_;
    std::vector<int> exits_;
    int reseeds_ = 0;
    int touchesAfterEnd_ = 0;
    int ticksSent_ = 0;
    int ticksSeen_ = 0;
    int unreachableNextKeys_ = 0;
};

// Drives the Qt window and the model with the same sequence, both taking the
// sequence's random draws, and compares them after every action, as
// model::RunSideBySide does, with two things that belong to this window:
// positions are compared on the window's pixel grid, and a keyboard press of
// Next that cannot reach the button, because the window took it out of the
// focus chain when it moved it out of the window, is a press that reaches
// nothing.
model::SideBySideResult RunOnQtWindow(const model::Sequence& sequence, QtWindow& window,
                                      model::ModelFault fault = model::ModelFault::None);

// A twips position as the window can show it: on its grid of 15 twips.
double OnPixelGrid(double twips);

}  // namespace infotest::testing
