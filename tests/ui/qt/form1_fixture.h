#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include "run/controls.h"
#include "tests/model/window_view.h"
#include "ui/qt/form1.h"
#include "ui/layout/form1_layout.h"

namespace infotest::testing {

// A shown Form1 whose message boxes and program end are recorded instead of
// shown and performed.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The widget named like the control, found among the window's children.
    QWidget* Find(Control control) const;
    template <typename T>
    T* Find(Control control) const {
        return qobject_cast<T*>(Find(control));
    }

    // The window's clock goes on `seconds` (it is the test's and moves only
    // here), then Timer1's timer wakes the window as its event dispatcher
    // would.
    void StallClock(int seconds);

    // Real mouse clicks at the middle of a control.
    void Click(Control control);
    void Start() { Click(Control::Command1); }

    // Which of the four option buttons read as selected (1..4).
    std::vector<int> SelectedOptions() const;

    std::unique_ptr<qt::Form1> form;
    double clockMs = 0;
    std::vector<model::ShownBox> boxes;  // the window behind is not read here
    std::vector<int> exits;
};

// 0xBBGGRR as a QColor.
QColor Bgr(std::uint32_t bgr);

// The most common colour of an image.
QColor MostCommonColour(const QImage& image);

std::string Name(Control control);

}  // namespace infotest::testing
