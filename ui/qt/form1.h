#pragma once

#include <array>
#include <optional>

#include <QString>
#include <QWidget>

#include "ui/core/focus_model.h"
#include "ui/core/form_core.h"
#include "ui/layout/form1_layout.h"

class QButtonGroup;
class QTimer;

namespace infotest::qt {

// The real QMessageBox, with one OK button, over the window; returns the
// code of the button pressed (1 for OK).
int ShowMessageBox(QWidget& window, const QString& prompt, const QString& title, MessageIcon icon);

// The program's one window on Qt. It builds its controls from the layout table,
// runs the test logic on them, and delivers the clicks of Command1..Command4
// and the ticks of Timer1 to the logic's event procedures. Each control is
// a child widget whose object name is the control's name ("Label7"); Timer1
// is a child single-shot QTimer that wakes the core when a tick is due.
//
// Qt keeps the keys it handles as the core's FocusModel would (Space on a
// button presses once on its release), and the modal QMessageBox keeps the
// focus itself. Tab, Enter and the arrow keys, and where the focus goes when
// a control leaves the pupil's reach, are the model's: Qt would enter the
// options at Option1 wherever it is drawn, move between them by the arrows
// without selecting, and press a button again at every repeat of a held
// Enter.
class Form1 final : public QWidget, public FormCore {
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // The widget of a control: the window itself for Form1, nullptr for Timer1.
    QWidget* Widget(Control control) const;

    // Controls
    void SetCaption(Control control, std::string_view text) override;
    std::string Caption(Control control) const override;
    void Move(Control control, double leftTwips, int topTwips) override;
    void SetBackColor(Control control, std::uint32_t bgr) override;
    void SetVisible(Control control, bool visible) override;
    bool Selected(Control option) const override;
    void ClearSelected(Control option) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ArmTimer(double delayMs);
    QWidget* CreateControl(const ControlLayout& row);
    // Does what the focus model answered; returns whether the key is used.
    bool Apply(const FocusAnswer& answer);
    Control Focused() const;
    void FocusControl(std::optional<Control> control);
    // speech.cpp: what a screen reader is told.
    void DescribeAnswers(std::string_view text);
    void Announce(std::string_view text);

    std::array<QWidget*, kControlCount> widgets_{};
    QTimer* timer_ = nullptr;
    QButtonGroup* options_ = nullptr;
    // Where Qt has no announcements (before 6.8): a notification that
    // shows itself, which a screen reader speaks.
    QWidget* spoken_ = nullptr;
    FocusModel focus_{*this};
};

}  // namespace infotest::qt
