#include <QApplication>

#include "ui/qt/application.h"
#include "ui/qt/form1.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    infotest::qt::SetUpApplication(app);
    infotest::qt::Form1 window;
    window.show();
    return QApplication::exec();
}
