#include "ui/qt/form_widgets.h"

#include <QPainter>
#include <qdrawutil.h>

#include "ui/layout/painting.h"

namespace infotest::qt {
namespace {

PixelRect ToPixelRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQRect(const PixelRect& rect) { return {rect.left, rect.top, rect.Width(), rect.Height()}; }

// A 1-pixel outline drawn along the inside of a rectangle: QPainter's
// rectangle with a pen covers one pixel more than its size.
QRect OutlineOf(const PixelRect& rect) { return ToQRect(rect).adjusted(0, 0, -1, -1); }

}  // namespace

void CommandButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::ButtonText);
    const bool sunken = isDown() || isChecked();
    const CommandButtonPaint paint = CommandButtonGeometry(ToPixelRect(rect()), hasFocus(), sunken);
    if (paint.outlined) {
        painter.setPen(text);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(OutlineOf(ToPixelRect(rect())));
    }
    const QBrush fill(pal.color(QPalette::Button));
    qDrawWinButton(&painter, ToQRect(paint.face), pal, sunken, &fill);

    painter.setPen(text);
    painter.setFont(font());
    painter.drawText(ToQRect(paint.caption), Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, this->text());

    if (hasFocus()) {
        painter.setPen(QPen(text, 1, Qt::DotLine));
        painter.drawRect(OutlineOf(paint.focus));
    }
}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const FramePaint paint = FrameGeometry(ToPixelRect(rect()), metrics.horizontalAdvance(title()), metrics.height());
    qDrawShadeRect(&painter, ToQRect(paint.border), palette(), true);
    if (title().isEmpty()) return;

    painter.fillRect(ToQRect(paint.behindCaption), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(ToQRect(paint.caption), Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, title());
}

}  // namespace infotest::qt
