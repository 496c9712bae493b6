#include "ui/ProgramStart.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <exception>

#include "settings/QtValueStore.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/SessionGuard.h"
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

// Started from the desktop menu (the desktop entry passes --desktop) the working directory means
// nothing, so the data files go to the per-user application data folder instead.
void UseDataFolderWhenStartedFromDesktop() {
    if (!QApplication::arguments().contains("--desktop")) return;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir) || !QDir::setCurrent(dir))
        ShowErrorBox("Cannot use the data folder " + dir + "; files are kept in " + QDir::currentPath());
}

} // namespace

int RunCalculator(int& argc, char** argv, const StartHooks& hooks) {
    // 1. The units engine's tables, before any window exists.
    InitUnitTables();
    KorbApplication app(argc, argv);

    // 2. The application's title.
    QApplication::setApplicationName("Meridot");
    QApplication::setOrganizationName("Ovrin");
    QApplication::setDesktopFileName("com.ovrin.Meridot"); // ties the windows to the desktop entry
    UseDataFolderWhenStartedFromDesktop();

    try {
        // 3. The value store and the main window; 4.-5. shown, then the other windows in order.
        // The folder is held before any of its files is read.
        SessionGuard guard;
        QtValueStore store;
        TKorbCalcForm form(store);
        QObject::connect(&form, &TKorbCalcForm::closed, &app, &QApplication::quit, Qt::QueuedConnection);
        if (hooks.beforeStart) hooks.beforeStart(form);
        guard.Watch(form);
        form.StartUp();
        if (const auto problem = store.Problem()) form.ShowMessage(*problem);
        guard.Started();
        if (hooks.afterStart)
            if (const auto status = hooks.afterStart(form)) return *status;
        // 6. The message loop, until the main window closes.
        return app.exec();
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    }
    return 1;
}
