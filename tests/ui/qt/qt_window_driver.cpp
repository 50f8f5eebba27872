#include "tests/ui/qt/qt_window_driver.h"

#include "ui/qt/speech.h"

#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <QAccessible>
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

Qt::Key QtKey(Key key) {
    switch (key) {
        case Key::Tab: return Qt::Key_Tab;
        case Key::Enter: return Qt::Key_Return;
        case Key::Escape: return Qt::Key_Escape;
        case Key::Space: return Qt::Key_Space;
        case Key::Left: return Qt::Key_Left;
        case Key::Up: return Qt::Key_Up;
        case Key::Right: return Qt::Key_Right;
        case Key::Down: return Qt::Key_Down;
    }
    return Qt::Key_unknown;
}

QString KeyText(Key key) {
    switch (key) {
        case Key::Tab: return QStringLiteral("\t");
        case Key::Enter: return QStringLiteral("\r");
        case Key::Space: return QStringLiteral(" ");
        default: return {};
    }
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// Qt hands its announcements to an update handler even with no screen
// reader listening; the driver's records the window's.
std::vector<std::string>* announcementsHeard = nullptr;
QAccessible::UpdateHandler earlierHandler = nullptr;

void HearAnnouncement(QAccessibleEvent* event) {
    if (announcementsHeard != nullptr && event->type() == QAccessible::Announcement) {
        announcementsHeard->push_back(static_cast<QAccessibleAnnouncementEvent*>(event)->message().toStdString());
    }
    if (earlierHandler != nullptr) earlierHandler(event);
}
#else
// Records each time the window's notification shows itself, with its role
// and name as Qt's accessibility layer gives them to a screen reader.
class NotificationListener final : public QObject {
public:
    explicit NotificationListener(std::vector<std::string>& said) : said_(said) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(watched);
            if (shown != nullptr && shown->role() == QAccessible::Notification) {
                said_.push_back(shown->text(QAccessible::Name).toStdString());
            } else {
                said_.emplace_back("(a notification without the notification role)");
            }
        }
        return false;
    }

private:
    std::vector<std::string>& said_;
};
#endif

}  // namespace

// The handler is installed once for the test program (a test may open a
// window while another is still there) and records for the newest window.
QtWindow::QtWindow() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    static const bool installed = [] {
        earlierHandler = QAccessible::installUpdateHandler(HearAnnouncement);
        return true;
    }();
    (void)installed;
    announcementsHeard = &announcements_;
#endif
}

QtWindow::~QtWindow() {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (announcementsHeard == &announcements_) announcementsHeard = nullptr;
#endif
}

std::optional<std::vector<std::string>> QtWindow::Announcements() const { return announcements_; }

std::optional<std::string> QtWindow::AnswerDescription(Control option) const {
    QAccessibleInterface* answer = QAccessible::queryAccessibleInterface(WidgetOf(option));
    if (answer == nullptr) return std::string();
    return answer->text(QAccessible::Description).toStdString();
}

void QtWindow::OpenWindow(const Sequence& sequence) {
    // The clock is the test's own from the start; a window that ticked by
    // itself all the same is opened afresh.
    for (int attempt = 0; attempt < 3; ++attempt) {
        form_.reset();
        ticksSent_ = ownBoxesClosed_ = 0;
        announcements_.clear();
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
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        QWidget* notification = form_->findChild<QWidget*>(QLatin1String(qt::kNotificationName));
        if (notification == nullptr) throw std::runtime_error("the window has no notification");
        listener_ = std::make_unique<NotificationListener>(announcements_);
        notification->installEventFilter(listener_.get());
#endif
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

QWidget* QtWindow::KeyTarget() const {
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr ? focused : form_.get();
}

void QtWindow::PressKey(Key key, bool shift) {
    QTest::keyClick(KeyTarget(), QtKey(key), shift ? Qt::ShiftModifier : Qt::NoModifier);
}

// Each event goes to the widget that has the focus at that moment, as the
// keyboard's do.
void QtWindow::HoldKey(Key key, int repeats) {
    const QString text = KeyText(key);
    QTest::simulateEvent(KeyTarget(), true, QtKey(key), Qt::NoModifier, text, false);
    for (int i = 0; i < repeats; ++i) QTest::simulateEvent(KeyTarget(), true, QtKey(key), Qt::NoModifier, text, true);
    QTest::simulateEvent(KeyTarget(), false, QtKey(key), Qt::NoModifier, text, false);
}

Control QtWindow::Focused() const {
    QWidget* focused = QApplication::focusWidget();
    for (int index = 0; index < kControlCount; ++index) {
        const auto control = static_cast<Control>(index);
        if (control != Control::Form1 && focused != nullptr && widgets_.at(static_cast<std::size_t>(index)) == focused)
            return control;
    }
    return Control::Form1;
}

ScreenPoint QtWindow::ClientPlace() const {
    const QPoint corner = form_->mapToGlobal(QPoint(0, 0));
    return {corner.x(), corner.y()};
}

std::uint32_t QtWindow::ClientCornerColour() const { return Bgr(form_->grab().toImage().pixelColor(2, 2)); }

void QtWindow::UseOwnBoxesClosedByEnter() {
    form_->SetMessagePresenter([this](std::string_view prompt, std::string_view title, MessageIcon icon) {
        QTimer::singleShot(0, form_.get(), [this] { CloseOwnBoxWithEnter(); });
        const int result =
            qt::ShowMessageBox(*form_, QString::fromUtf8(prompt.data(), static_cast<qsizetype>(prompt.size())),
                               QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())), icon);
        // Without a window manager (offscreen) nothing makes the window
        // active again once its box has gone; a desktop's does, and Qt then
        // gives the focus back to the widget that had it.
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get())) ADD_FAILURE() << "the window did not come back after its box";
        return result;
    });
}

// Runs inside the box's event loop; until the box is up, it looks again.
void QtWindow::CloseOwnBoxWithEnter() {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) {
        QTimer::singleShot(10, form_.get(), [this] { CloseOwnBoxWithEnter(); });
        return;
    }
    QWidget* focused = QApplication::focusWidget();
    QTest::keyClick(focused != nullptr && box->isAncestorOf(focused) ? focused : box, Qt::Key_Return);
    ++ownBoxesClosed_;
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
