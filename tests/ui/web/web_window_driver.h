#pragma once

// The page's window as a window under test for the model of the test run:
// the pupil's actions are pointer events sent to the element under the
// middle of what can be seen of a control, and keys handed to the page's own
// key handling, both through the script layer as the browser would send
// them; ticks come through the window's clock at the times they are due.
// What the window shows is read back from the page's elements.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/model/real_window.h"
#include "tests/ui/recorded_services.h"
#include "ui/web/form1.h"

namespace infotest::testing {

// A control's element rectangle in CSS pixels, relative to its container.
struct PageRect {
    double left = 0, top = 0, width = 0, height = 0;
};

class WebWindow final : public model::RealWindow {
public:
    // `recorded`: the services are recorded (boxes answered at once, the end
    // noted); otherwise the page's own box and end serve.
    explicit WebWindow(bool recorded = true);
    ~WebWindow() override;

    WebWindow(const WebWindow&) = delete;
    WebWindow& operator=(const WebWindow&) = delete;

    void Observe(model::Observation& into) override;

    bool TickedByItself() const override { return form_->TicksDelivered() != ticksSent_; }
    bool ProgramEnded() const override;
    void StallClock(int seconds) override;

    web::Form1& Window() const { return *form_; }
    const std::vector<model::ShownBox>& Boxes() const { return services_.Boxes(); }

    // A click (twice: a double click) in the middle of what can be seen of
    // the element; returns the id of the element hit, "" when none.
    std::string Click(const std::string& id, int times = 1);
    std::string Click(Control control, int times = 1);
    // Keys go to the focused element as the browser's key events.
    void PressKey(Key key, bool shift = false) override;
    void HoldKey(Key key, int repeats) override;
    Control Focused() const override { return form_->Focused(); }
    FormCore& Logic() override { return *form_; }
    ScreenPoint ClientPlace() const override;
    // The page cannot read its own pixels: the client area's computed
    // background colour.
    std::uint32_t ClientCornerColour() const override { return BackColour(Control::Form1); }
    // The page's own box, closed with Enter after the key or click that
    // opened it.
    void UseOwnBoxesClosedByEnter() override;
    int OwnBoxesClosed() const override { return ownBoxesClosed_; }
    // The option's aria-describedby texts, and the page's polite live
    // region's texts.
    std::optional<std::string> AnswerDescription(Control option) const override;
    std::optional<std::vector<std::string>> Announcements() const override;
    // The page's clock goes on `seconds`, then its timer wakes the window:
    // one tick, or a late wake-up.
    void Tick(int seconds = 1);

    static std::string Caption(Control control);
    static PageRect Rect(Control control);
    static std::uint32_t BackColour(Control control);

private:
    void OpenWindow(const model::Sequence& sequence) override;
    void CloseOwnBoxWithEnter();
    void ReadWindow(model::WindowView& into) const;
    bool WindowShown() const;
    bool TakesActions() const override;
    void ClickControl(Control control) override;
    void DeliverTick() override;
    void RequestClose() override;

    bool recorded_;
    std::unique_ptr<web::Form1> form_;
    RecordedServices services_;
    double clockMs_ = 0;
    std::int64_t ticksSent_ = 0;
    bool ownBoxes_ = false;
    int ownBoxesClosed_ = 0;
};

// Evaluates a script expression on the page and returns it as text.
std::string PageText(const std::string& expression);

}  // namespace infotest::testing
