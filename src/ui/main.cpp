// Start-up and shut-down of the calculator program.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "KorbCalcMainForm.h"
#include "QtValueStore.h"
#include "units/NumberUnits.h"
#include "units/QuantityMath.h"

namespace {

void ShowErrorBox(const QString& text) {
    QMessageBox::critical(nullptr, QApplication::applicationName(), text);
}

// Anything an event handler lets out is shown in a message box instead of ending the program.
class KorbApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            ShowErrorBox(QString::fromLocal8Bit(e.what()));
        } catch (...) {
            ShowErrorBox("Unexpected error");
        }
        return false;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    // 1. The units engine's tables, before any window exists.
    InitUnitTables();
    KorbApplication app(argc, argv);
    SetMessageSink([](const std::string& m) { ShowErrorBox(QString::fromStdString(m)); });

    // 2. The application's title.
    QApplication::setApplicationName("Meridot");
    QApplication::setOrganizationName("Ovrin");
    QApplication::setApplicationDisplayName("Meridot");

    try {
        // 3. The value store and the main window; 4.-5. shown, then the other windows in order.
        QtValueStore store;
        TKorbCalcForm form(store);
        QObject::connect(&form, &TKorbCalcForm::closed, &app, &QApplication::quit, Qt::QueuedConnection);
        form.StartUp();
        // 6. The message loop, until the main window closes.
        return app.exec();
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    }
    return 1;
}
