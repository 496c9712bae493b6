// The floor for start-up times: the least a Qt Widgets program does to show a window, started
// and timed the same way as the calculator.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QLabel label("Qt floor");
    label.setWindowTitle("Qt floor");
    label.show();
    return QApplication::exec();
}
