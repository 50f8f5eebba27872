#pragma once

class QWidget;

namespace infotest::qt {

// The object name of the window's notification (see MakeNotification).
inline constexpr const char* kNotificationName = "Spoken";

// Before Qt 6.8 Qt has no announcement for a screen reader to speak. What a
// reader does speak of its own accord is a notification that shows itself:
// this makes one in the window, drawn nowhere (it has no size) and never
// focused, whose accessible role is a notification and whose name is the
// text, shown again for each announcement. With Qt 6.8 and later it returns
// nullptr: the window sends the toolkit's announcement instead.
QWidget* MakeNotification(QWidget& window);

}  // namespace infotest::qt
