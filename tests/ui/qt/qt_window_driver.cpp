#include "tests/ui/qt/qt_window_driver.h"

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>
#include <QWindow>

namespace infotest::testing {
namespace {

using model::kTwipsPerPixel;
using model::Observation;
using model::Sequence;
using model::WindowView;

QString CaptionOf(const QWidget& widget) {
    if (widget.isWindow()) return widget.windowTitle();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget)) return button->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(&widget)) return frame->title();
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
    return {};
}

std::uint32_t Bgr(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) | static_cast<std::uint32_t>(colour.green()) << 8U |
           static_cast<std::uint32_t>(colour.blue()) << 16U;
}

}  // namespace

QtWindow::QtWindow() = default;
QtWindow::~QtWindow() = default;

void QtWindow::Open(const Sequence& sequence) {
    // The clock is the test's own from the start; a window that ticked by
    // itself all the same is opened afresh.
    for (int attempt = 0; attempt < 3; ++attempt) {
        form_.reset();
        ticksSent_ = unreachableNextKeys_ = 0;
        clockMs_ = 0;

        form_ = std::make_unique<qt::Form1>();
        form_->SetClockSource([this] { return clockMs_; });
        for (int index = 0; index < kControlCount; ++index) {
            const auto control = static_cast<Control>(index);
            QWidget*& widget = widgets_.at(static_cast<std::size_t>(index));
            if (control == Control::Form1) {
                widget = form_.get();
            } else if (control == Control::Timer1) {
                widget = nullptr;
            } else {
                const std::string_view name = ControlName(control);
                widget =
                    form_->findChild<QWidget*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
                if (widget == nullptr) throw std::runtime_error("the window has no " + std::string(name));
            }
        }
        timer_ = form_->findChild<QTimer*>(QStringLiteral("Timer1"));
        if (timer_ == nullptr) throw std::runtime_error("the window has no Timer1");

        services_.Install(*form_, sequence, [this](WindowView& view) { ReadWindow(view); });

        form_->show();
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get())) throw std::runtime_error("the window did not become active");
        if (!TickedByItself()) return;
    }
}

bool QtWindow::Ended() const { return services_.Ended(); }

bool QtWindow::TakesActions() const { return !Ended() && form_->isVisible(); }

// As the event dispatcher delivers the timer's event: only an armed timer
// has an id, and only the event with its id makes it time out.
void QtWindow::StallClock(int seconds) {
    clockMs_ += seconds * kTimer1IntervalMs;
    if (!timer_->isActive()) return;
    QTimerEvent wake(timer_->timerId());
    QCoreApplication::sendEvent(timer_, &wake);
}

void QtWindow::DeliverTick() {
    if (form_->TimerRunning()) ++ticksSent_;
    StallClock(1);
}

// Through the platform window, as the window manager's close request
// arrives.
void QtWindow::RequestClose() { form_->windowHandle()->close(); }

// A click in the middle of the part of the control that can be seen: inside
// its container and the window. Which widget takes it is Qt's hit test.
void QtWindow::ClickControl(Control control) {
    QWidget* widget = WidgetOf(control);
    QWidget* window = form_.get();
    if (!widget->isVisibleTo(window)) return;
    QRect seen(widget->mapTo(window, QPoint(0, 0)), widget->size());
    for (QWidget* outer = widget->parentWidget(); outer != nullptr; outer = outer->parentWidget()) {
        seen &= QRect(outer->mapTo(window, QPoint(0, 0)), outer->size());
        if (outer == window) break;
    }
    if (seen.isEmpty()) return;  // the pupil cannot see it, so cannot click it
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, seen.center());
}

// The pupil tabs round the focus chain to the Next button and presses space.
void QtWindow::PressNextFromTheKeyboard() {
    QWidget* next = WidgetOf(Control::Command4);
    for (int step = 0; step < kControlCount && QApplication::focusWidget() != next; ++step) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused != nullptr ? focused : form_.get(), Qt::Key_Tab);
    }
    if (QApplication::focusWidget() != next) {
        ++unreachableNextKeys_;
        return;
    }
    QTest::keyClick(next, Qt::Key_Space);
}

void QtWindow::ReadWindow(WindowView& into) const {
    QWidget* window = form_.get();
    for (int index = 0; index < kControlCount; ++index) {
        QWidget* widget = widgets_.at(static_cast<std::size_t>(index));
        if (widget == nullptr) continue;  // Timer1: its state is timerEnabled
        model::ControlView& view = into.controls.at(static_cast<std::size_t>(index));
        view.caption = CaptionOf(*widget).toStdString();
        if (widget != window) {
            view.left = widget->x() * kTwipsPerPixel;
            view.top = widget->y() * kTwipsPerPixel;
            view.visible = widget->isVisibleTo(window);
        } else {
            // While the program runs the window is on the screen; once it has
            // ended it must be closed, which `ended` reads.
            view.left = 0;
            view.top = 0;
            view.visible = Ended() || window->isVisible();
        }
        view.backColor = Bgr(widget->palette().color(widget->backgroundRole()));
        const auto* option = qobject_cast<const QRadioButton*>(widget);
        view.selected = option != nullptr && option->isChecked();
    }
    into.timerEnabled = form_->TimerRunning();
}

void QtWindow::Observe(Observation& into) {
    ReadWindow(into.window);
    services_.Report(into, form_->isVisible());
}

}  // namespace infotest::testing
