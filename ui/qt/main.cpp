#include <QApplication>

#include "ui/qt/application.h"
#include "ui/qt/form1.h"
#include "ui/qt/screen_placement.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    infotest::qt::SetUpApplication(app);
    infotest::qt::Form1 window;
    infotest::qt::KeepWhollyOnScreen(window);
    window.show();
    return QApplication::exec();
}
