#include "ui/qt/form1.h"

#include <algorithm>
#include <cmath>

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QTimer>

#include "ui/layout/form1_layout.h"
#include "ui/layout/painting.h"
#include "ui/qt/form_widgets.h"
#include "ui/qt/speech.h"

namespace infotest::qt {
namespace {

// The window icon and the title image, built into the program.
constexpr std::string_view kIconResource = ":/infotest/icon48.png";
constexpr std::string_view kTitleImageResource = ":/infotest/title.gif";

QColor ToQColor(std::uint32_t bgr) {
    return {static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF), static_cast<int>((bgr >> 16) & 0xFF)};
}

// Arial is served by Liberation Sans, which has Arial's metrics; MS Sans
// Serif, which Linux lacks, by the same face: it is as narrow as MS Sans
// Serif, where DejaVu Sans is wider and would overflow the fixed rectangles.
// The size is set in pixels (a point is 4/3 px at 96 dpi), so the X server's
// DPI cannot change it; high-DPI scaling still applies.
QFont MakeFont(const ControlLayout& row) {
    QFont font;
    font.setFamilies({ToQString(kStandInFamily), ToQString(FamilyName(row.face))});
    font.setPixelSize(PointsToPixels(row.points));
    font.setWeight(row.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

Qt::Alignment HorizontalAlignment(TextAlign align) {
    switch (align) {
        case TextAlign::Centre: return Qt::AlignHCenter;
        case TextAlign::Right: return Qt::AlignRight;
        default: return Qt::AlignLeft;
    }
}

// The policy of a control while it is inside its container.
Qt::FocusPolicy FocusPolicyOf(ControlKind kind) { return TakesFocus(kind) ? Qt::StrongFocus : Qt::NoFocus; }

// Reads an image with the decoder of its known format only: left to guess,
// Qt loads every installed image plugin first, which slows the start.
QPixmap ReadImage(std::string_view resource, const char* format) {
    QImageReader reader(ToQString(resource), format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The keys the focus model decides in this window; Tab comes through
// focusNextPrevChild.
std::optional<Key> KeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return Key::Enter;
        case Qt::Key_Left: return Key::Left;
        case Qt::Key_Up: return Key::Up;
        case Qt::Key_Right: return Key::Right;
        case Qt::Key_Down: return Key::Down;
        default: return std::nullopt;
    }
}

QMessageBox::Icon MessageBoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

int ShowMessageBox(QWidget& window, const QString& prompt, const QString& title, MessageIcon icon) {
    QMessageBox box(MessageBoxIcon(icon), title, prompt, QMessageBox::Ok, &window);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok ? kOkResult : 0;
}

Form1::Form1(QWidget* parent)
    : QWidget(parent),
      FormCore({.showMessage =
                    [this](std::string_view prompt, std::string_view title, MessageIcon icon) {
                        return ShowMessageBox(*this, ToQString(prompt), ToQString(title), icon);
                    },
                .endEventLoop = [](int exitStatus) { QCoreApplication::exit(exitStatus); },
                .armTimer = [this](double delayMs) { ArmTimer(delayMs); },
                .clock = {},
                .describeAnswers = [this](std::string_view text) { DescribeAnswers(text); },
                .announce = [this](std::string_view text) { Announce(text); }}) {
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(ToQString(kForm1Title));
    setAccessibleName(windowTitle());
    setWindowIcon(QIcon(ReadImage(kIconResource, "png")));
    // The program ends through EndProgram or closeEvent, with their status.
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(kForm1BackColour));
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(TwipsToPixels(kForm1ClientWidth), TwipsToPixels(kForm1ClientHeight));
    move(TwipsToPixels(kForm1Left), TwipsToPixels(kForm1Top));

    widgets_[Index(Control::Form1)] = this;
    options_ = new QButtonGroup(this);
    options_->setExclusive(true);
    for (const ControlLayout& row : Form1Layout()) widgets_[Index(row.control)] = CreateControl(row);

    // Qt draws a later sibling over an earlier one: raise from the bottom row
    // up, so that the topmost row ends on top.
    const auto& rows = Form1Layout();
    for (std::size_t i = rows.size(); i-- > 0;) {
        if (QWidget* widget = widgets_[Index(rows[i].control)]) widget->raise();
    }
    widgets_[Index(kFirstFocus)]->setFocus();
    spoken_ = MakeNotification(*this);

    // Timer1's QTimer only wakes the core, once, when the next tick is due;
    // the core counts the ticks from its clock and arms it again.
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { TimerFired(); });
    SetTimerEnabled(true);
}

// Whole milliseconds, rounded up: a wake-up before the tick is due only
// costs another one.
void Form1::ArmTimer(double delayMs) {
    if (timer_ == nullptr) return;
    if (delayMs < 0) {
        timer_->stop();
    } else {
        timer_->start(static_cast<int>(std::ceil(delayMs)));
    }
}

Form1::~Form1() = default;

QWidget* Form1::CreateControl(const ControlLayout& row) {
    QWidget* parent = row.parent == Control::Frame1 ? widgets_[Index(Control::Frame1)] : this;
    const QString caption = ToQString(row.caption);
    QPalette pal = parent->palette();
    QWidget* widget = nullptr;
    switch (row.kind) {
        case ControlKind::Timer: return nullptr;
        case ControlKind::CommandButton: {
            auto* button = new CommandButton(caption, parent);
            button->setAutoDefault(true);  // Enter presses the focused button
            if (auto procedure = ClickProcedure(row.control)) {
                connect(button, &QAbstractButton::clicked, this, [this, procedure] { Deliver(procedure); });
            }
            pal.setColor(QPalette::Button, ToQColor(row.backColour));
            widget = button;
            break;
        }
        case ControlKind::PictureBox: {
            auto* picture = new QLabel(parent);
            picture->setPixmap(ReadImage(kTitleImageResource, "gif"));
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = picture;
            break;
        }
        case ControlKind::Frame: {
            auto* frame = new FrameBox(caption, parent);
            frame->setAutoFillBackground(true);
            pal.setColor(QPalette::Window, ToQColor(row.backColour));
            pal.setColor(QPalette::WindowText, ToQColor(row.foreColour));
            widget = frame;
            break;
        }
        case ControlKind::OptionButton: {
            auto* option = new OptionButton(caption, parent);
            option->setAutoExclusive(true);  // announced as a radio button
            option->setBackgroundRole(QPalette::Window);
            option->setAutoFillBackground(true);
            options_->addButton(option);
            pal.setColor(QPalette::Window, ToQColor(row.backColour));
            pal.setColor(QPalette::WindowText, ToQColor(row.foreColour));
            widget = option;
            break;
        }
        case ControlKind::Label: {
            auto* label = new QLabel(caption, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignTop | HorizontalAlignment(row.align));
            label->setAutoFillBackground(true);
            pal.setColor(QPalette::Window, ToQColor(row.backColour));
            if (row.foreColour != kSystemColour) {
                pal.setColor(QPalette::WindowText, ToQColor(row.foreColour));
            }
            widget = label;
            break;
        }
    }
    widget->setObjectName(ToQString(ControlName(row.control)));
    widget->setPalette(pal);
    if (row.face != FontFace::NoFont) widget->setFont(MakeFont(row));
    widget->setFocusPolicy(FocusPolicyOf(row.kind));
    if (TakesFocus(row.kind)) widget->installEventFilter(this);
    widget->setGeometry(TwipsToPixels(row.left), TwipsToPixels(row.top), TwipsToPixels(row.width),
                        TwipsToPixels(row.height));
    widget->setFixedSize(widget->size());
    widget->setAccessibleName(row.kind == ControlKind::PictureBox ? ToQString(kTitleImageText) : caption);
    widget->setHidden(!row.visible);
    return widget;
}

bool Form1::focusNextPrevChild(bool next) {
    FocusControl(focus_.NextTabStop(Focused(), !next));
    return true;
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        if (const std::optional<Key> key = KeyOf(press->key())) {
            return Apply(focus_.PressKey(*key, false, press->isAutoRepeat(), Focused()));
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool Form1::Apply(const FocusAnswer& answer) {
    if (answer.select) {
        if (auto* option = qobject_cast<QRadioButton*>(Widget(*answer.select))) option->setChecked(true);
    }
    FocusControl(answer.focus);
    if (answer.deliver != nullptr) Deliver(answer.deliver);
    return answer.handled;
}

Control Form1::Focused() const {
    QWidget* focused = focusWidget();
    const auto at = std::find(widgets_.begin() + 1, widgets_.end(), focused);
    return focused != nullptr && at != widgets_.end() ? static_cast<Control>(at - widgets_.begin()) : Control::Form1;
}

void Form1::FocusControl(std::optional<Control> control) {
    if (!control) return;
    if (*control == Control::Form1) {
        if (QWidget* focused = focusWidget()) focused->clearFocus();
    } else if (QWidget* widget = Widget(*control)) {
        widget->setFocus(Qt::TabFocusReason);
    }
}

QWidget* Form1::Widget(Control control) const {
    const std::size_t index = Index(control);
    return index < widgets_.size() ? widgets_[index] : nullptr;
}

void Form1::SetCaption(Control control, std::string_view text) {
    QWidget* widget = Widget(control);
    if (widget == nullptr) return;
    const QString caption = ToQString(text);
    if (control == Control::Form1) {
        setWindowTitle(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(caption);
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(caption);
    } else if (FindLayout(control)->kind == ControlKind::Label) {
        static_cast<QLabel*>(widget)->setText(caption);
    } else {
        return;  // the picture box has no caption
    }
    widget->setAccessibleName(caption);
}

std::string Form1::Caption(Control control) const {
    QWidget* widget = Widget(control);
    QString caption;
    if (control == Control::Form1) {
        caption = windowTitle();
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        caption = button->text();
    } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        caption = frame->title();
    } else if (widget != nullptr && FindLayout(control)->kind == ControlKind::Label) {
        caption = static_cast<QLabel*>(widget)->text();
    }
    return caption.toStdString();
}

void Form1::Move(Control control, double leftTwips, int topTwips) {
    QWidget* widget = Widget(control);
    if (widget == nullptr || control == Control::Form1) return;
    widget->move(TwipsToPixels(leftTwips), TwipsToPixels(topTwips));
    FocusControl(focus_.Moved(control, leftTwips, topTwips, Focused()));
    // Out of its container a control cannot be clicked, so it takes no focus
    // either; moved back in, it does again.
    const ControlLayout* row = FindLayout(control);
    if (row != nullptr && TakesFocus(row->kind)) {
        widget->setFocusPolicy(LiesOutsideContainer(control, leftTwips, topTwips) ? Qt::NoFocus
                                                                                  : FocusPolicyOf(row->kind));
    }
}

void Form1::SetBackColor(Control control, std::uint32_t bgr) {
    QWidget* widget = Widget(control);
    if (widget == nullptr) return;
    QPalette pal = widget->palette();
    pal.setColor(qobject_cast<QPushButton*>(widget) ? QPalette::Button : QPalette::Window, ToQColor(bgr));
    widget->setPalette(pal);
}

void Form1::SetVisible(Control control, bool visible) {
    QWidget* widget = Widget(control);
    if (widget == nullptr) return;
    // A control that goes passes the focus on first, as the model says.
    FocusControl(focus_.ShownChanged(control, visible, Focused()));
    widget->setVisible(visible);
}

bool Form1::Selected(Control option) const {
    auto* button = qobject_cast<QRadioButton*>(Widget(option));
    return button != nullptr && button->isChecked();
}

// An exclusive group refuses to uncheck its checked button; it lets go while
// it is not exclusive.
void Form1::ClearSelected(Control option) {
    auto* button = qobject_cast<QRadioButton*>(Widget(option));
    if (button == nullptr || !button->isChecked()) return;
    options_->setExclusive(false);
    button->setChecked(false);
    options_->setExclusive(true);
}

void Form1::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseRequested();
}

}  // namespace infotest::qt
