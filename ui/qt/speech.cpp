// What a screen reader is told in the Qt window: the answers' description
// on every option, which the reader speaks with the option it focuses, and
// the announcements of a press.

#include "ui/qt/speech.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <QtGlobal>

#include "ui/qt/form1.h"
#include "ui/qt/form_widgets.h"

namespace infotest::qt {
namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// Qt's accessibility layer asks this first for every object: the window's
// notification gets the notification role, everything else Qt's own.
QAccessibleInterface* NotificationInterface(const QString& /*className*/, QObject* object) {
    if (object == nullptr || !object->isWidgetType() || object->objectName() != QLatin1String(kNotificationName)) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}
#endif

}  // namespace

QWidget* MakeNotification([[maybe_unused]] QWidget& window) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    return nullptr;
#else
    static const bool installed = [] {
        QAccessible::installFactory(NotificationInterface);
        return true;
    }();
    (void)installed;
    auto* notification = new QWidget(&window);
    notification->setObjectName(QLatin1String(kNotificationName));
    notification->setFocusPolicy(Qt::NoFocus);
    notification->setAttribute(Qt::WA_TransparentForMouseEvents);
    notification->setGeometry(0, 0, 0, 0);
    notification->hide();
    return notification;
#endif
}

// Not const, although it changes only what the widgets hold: it changes what
// the window tells a screen reader.
void Form1::DescribeAnswers(std::string_view text) {  // NOLINT(readability-make-member-function-const)
    const QString description = ToQString(text);
    for (const Control option : {Control::Option1, Control::Option2, Control::Option3, Control::Option4}) {
        Widget(option)->setAccessibleDescription(description);
    }
}

void Form1::Announce(std::string_view text) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(this, ToQString(text));
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    spoken_->hide();
    spoken_->setAccessibleName(ToQString(text));
    spoken_->show();
#endif
}

}  // namespace infotest::qt
