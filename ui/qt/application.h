#pragma once

class QApplication;

namespace infotest::qt {

// Prepares the application before the window is created: the Fusion style
// (with the Windows gap between an option button and its caption)
// with its own light palette, so that the fixed colours and pixel layout
// look the same on every desktop and under any colour theme, and Qt's own
// texts (the message box button) in Russian from qtbase_ru.qm. Returns
// whether the Russian texts were found.
bool SetUpApplication(QApplication& app);

}  // namespace infotest::qt
