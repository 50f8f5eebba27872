// The yardstick for infotest's start-up: the smallest Qt Widgets program with
// a window of the same size (794 x 428). The benchmark starts both the same
// way and compares the time to the mapped window, the memory and the idle CPU.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(794, 428);
    window.show();
    return QApplication::exec();
}
