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

#include "tests/model/real_window.h"
#include "tests/ui/recorded_services.h"
#include "ui/qt/form1.h"

class QTimer;

namespace infotest::testing {

class QtWindow final : public model::RealWindow {
public:
    QtWindow();
    ~QtWindow() override;

    QtWindow(const QtWindow&) = delete;
    QtWindow& operator=(const QtWindow&) = delete;

    void Open(const model::Sequence& sequence) override;
    void Observe(model::Observation& into) override;

    qt::Form1& Window() const { return *form_; }

    // A tick of Timer1 that the test did not deliver; the window's clock is
    // the test's, so this finds a tick counted wrongly.
    bool TickedByItself() const override { return form_->TicksDelivered() != ticksSent_; }
    // Keyboard presses of Next that tabbed round the focus chain in vain.
    int UnreachableNextKeys() const override { return unreachableNextKeys_; }
    bool ProgramEnded() const override { return form_ != nullptr && form_->Ended(); }
    void StallClock(int seconds) override;

private:
    QWidget* WidgetOf(Control control) const { return widgets_.at(static_cast<std::size_t>(control)); }
    void ReadWindow(model::WindowView& into) const;
    bool TakesActions() const override;
    void ClickControl(Control control) override;
    void PressNextFromTheKeyboard() override;
    void DeliverTick() override;
    void RequestClose() override;
    bool Ended() const;

    std::unique_ptr<qt::Form1> form_;
    std::array<QWidget*, kControlCount> widgets_{};
    QTimer* timer_ = nullptr;
    RecordedServices services_;
    double clockMs_ = 0;
    int ticksSent_ = 0;
    int unreachableNextKeys_ = 0;
};

}  // namespace infotest::testing
