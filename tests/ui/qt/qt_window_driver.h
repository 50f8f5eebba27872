#pragma once

// The real Qt window as a window under test for the model of the test run:
// the pupil's actions are real mouse clicks at the places where the controls
// are shown, key presses through the focus chain, window-system close
// requests and ticks delivered to Timer1 as its event dispatcher delivers
// them; what the window shows is read back from its widgets.

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
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

    void Observe(model::Observation& into) override;

    qt::Form1& Window() const { return *form_; }

    // A tick of Timer1 that the test did not deliver; the window's clock is
    // the test's, so this finds a tick counted wrongly.
    bool TickedByItself() const override { return form_->TicksDelivered() != ticksSent_; }
    bool ProgramEnded() const override { return form_ != nullptr && form_->Ended(); }
    void StallClock(int seconds) override;

    // Key events sent to the focused widget, as QTest sends them.
    void PressKey(Key key, bool shift = false) override;
    void HoldKey(Key key, int repeats) override;
    Control Focused() const override;
    FormCore& Logic() override { return *form_; }
    ScreenPoint ClientPlace() const override;
    std::uint32_t ClientCornerColour() const override;
    // The real QMessageBox, closed with Enter from inside its own event loop.
    void UseOwnBoxesClosedByEnter() override;
    int OwnBoxesClosed() const override { return ownBoxesClosed_; }
    // Through Qt's own accessibility interface, which its AT-SPI bridge
    // serves to a screen reader.
    std::optional<std::string> AnswerDescription(Control option) const override;
    std::optional<std::vector<std::string>> Announcements() const override;

private:
    QWidget* WidgetOf(Control control) const { return widgets_.at(static_cast<std::size_t>(control)); }
    void OpenWindow(const model::Sequence& sequence) override;
    void ReadWindow(model::WindowView& into) const;
    QWidget* KeyTarget() const;
    void CloseOwnBoxWithEnter();
    bool TakesActions() const override;
    void ClickControl(Control control) override;
    void DeliverTick() override;
    void RequestClose() override;
    bool Ended() const;

    std::unique_ptr<qt::Form1> form_;
    std::array<QWidget*, kControlCount> widgets_{};
    QTimer* timer_ = nullptr;
    RecordedServices services_;
    double clockMs_ = 0;
    int ticksSent_ = 0;
    int ownBoxesClosed_ = 0;
    std::vector<std::string> announcements_;
    std::unique_ptr<QObject> listener_;  // hears the window's notification (Qt before 6.8)
};

}  // namespace infotest::testing
