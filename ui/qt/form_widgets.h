#pragma once

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QString>

#include <string_view>

namespace infotest::qt {

// The program's UTF-8 texts as Qt's strings.
inline QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The window's controls where Qt's own differ from the layout: a command
// button and a frame painted here, and an option button that takes a click
// anywhere in its rectangle.

// A graphical-style command button: a solid face in the palette's Button
// colour with a raised (pressed: sunken) 3D edge, the caption centred in the
// ButtonText colour, and while it has the focus a black outline and a dotted
// focus rectangle. Fusion would paint the face as a gradient.
class CommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A frame: an etched border whose top edge runs through the middle of the
// caption, the caption in the WindowText colour on the Window colour. Fusion
// would draw the caption above the border.
class FrameBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// An option button: a click anywhere in its rectangle selects it, not only on
// the circle and the caption's text.
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

}  // namespace infotest::qt
