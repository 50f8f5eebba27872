#include <QApplication>

#include "ui/qt/application.h"
#include "ui/qt/form1.h"
#include "ui/qt/screen_placement.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    infotest::SetUpApplication(app);
    infotest::Form1 window;
    infotest::KeepWhollyOnScreen(window);
    window.show();
    return QApplication::exec();
}
