#include "ui/qt/form_widgets.h"

#include <algorithm>

#include <QPainter>
#include <qdrawutil.h>

namespace infotest {

void CommandButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QColor text = pal.color(QPalette::ButtonText);
    const bool sunken = isDown() || isChecked();
    QRect face = rect();
    if (hasFocus()) {
        painter.setPen(text);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(face.adjusted(0, 0, -1, -1));
        face.adjust(1, 1, -1, -1);
    }
    const QBrush fill(pal.color(QPalette::Button));
    qDrawWinButton(&painter, face, pal, sunken, &fill);

    QRect textRect = face.adjusted(3, 3, -3, -3);
    if (sunken) textRect.translate(1, 1);
    painter.setPen(text);
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, this->text());

    if (hasFocus()) {
        painter.setPen(QPen(text, 1, Qt::DotLine));
        painter.drawRect(face.adjusted(3, 3, -4, -4));
    }
}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int borderTop = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, borderTop, width(), height() - borderTop), palette(), true);
    if (title().isEmpty()) return;

    constexpr int kIndent = 8;
    constexpr int kGap = 2;  // background around the caption
    const int textWidth = std::min(metrics.horizontalAdvance(title()), width() - 2 * kIndent);
    const QRect textRect(kIndent, 0, textWidth, metrics.height());
    painter.fillRect(textRect.adjusted(-kGap, 0, kGap, 0), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextShowMnemonic, title());
}

}  // namespace infotest
