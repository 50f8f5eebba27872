#include "ui/qt/screen_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "ui/layout/placement.h"

namespace infotest::qt {
namespace {

ScreenRect ToScreenRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

// Moves the window's frame (whose outer size is `outer`) from the laid-out
// place into the work area of the screen that place lies on.
void Place(QWidget& window, QPoint laidOut, QSize outer) {
    QScreen* screen = QGuiApplication::screenAt(laidOut);
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const ScreenPoint place = PlaceInWorkArea({laidOut.x(), laidOut.y(), outer.width(), outer.height()},
                                              ToScreenRect(screen->availableGeometry()));
    window.move(place.x, place.y);  // a window's position is its frame's
}

// Watches the window until its frame is known, places it by the frame's
// size once, and goes.
class FramePlacer final : public QObject {
public:
    FramePlacer(QWidget& window, QPoint laidOut) : QObject(&window), window_(window), laidOut_(laidOut) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto type = event->type();
        if (!placed_ && watched == &window_ &&
            (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show)) {
            const QSize outer = window_.frameGeometry().size();
            if (outer != window_.size()) {
                placed_ = true;
                Place(window_, laidOut_, outer);
                deleteLater();
            }
        }
        return false;
    }

private:
    QWidget& window_;
    QPoint laidOut_;
    bool placed_ = false;
};

}  // namespace

void KeepWhollyOnScreen(QWidget& window) {
    const QPoint laidOut = window.pos();
    Place(window, laidOut, window.size());
    window.installEventFilter(new FramePlacer(window, laidOut));
}

}  // namespace infotest::qt
