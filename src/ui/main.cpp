// Start-up and shut-down of the calculator program.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <exception>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "settings/QtValueStore.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/RegisterFormUnit.h"
#include "ui/SessionGuard.h"
#include "ui/StackFormUnit.h"
#include "ui/UnitsSelectorUnit.h"
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

// Milliseconds since the process started, from the kernel's start time of the process; -1 where
// that cannot be read. Used only for the start-up time report.
double ProcessAgeMs() {
#ifdef _WIN32
    return -1; // no /proc
#else
    FILE* stat = std::fopen("/proc/self/stat", "r");
    FILE* uptime = std::fopen("/proc/uptime", "r");
    double age = -1;
    if (stat && uptime) {
        char buf[1024] = {};
        const size_t n = std::fread(buf, 1, sizeof buf - 1, stat);
        buf[n] = 0;
        // Field 22 (start time in clock ticks) comes after the command name's closing parenthesis.
        const char* p = std::strrchr(buf, ')');
        unsigned long long ticks = 0;
        double up = 0;
        if (p &&
            std::sscanf(p + 2,
                        "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                        &ticks) == 1 &&
            std::fscanf(uptime, "%lf", &up) == 1) {
            const long hz = sysconf(_SC_CLK_TCK);
            age = (up - static_cast<double>(ticks) / static_cast<double>(hz)) * 1000.0;
        }
    }
    if (stat) std::fclose(stat);
    if (uptime) std::fclose(uptime);
    return age;
#endif
}

// --screenshot DIR [--screenshot-main NAME]: fills the calculator with a few values, saves pictures
// of the main window, the stack and register windows and the units selector into DIR, and quits.
// With a main-window file name, only the main window is saved, under that name (the 200% and
// dark-theme pictures).
void TakeScreenshots(TKorbCalcForm& form, const QString& dir, const QString& mainOnly) {
    form.messageHook = [](const std::string& m) { std::fprintf(stderr, "Korbcalc: %s\n", m.c_str()); };
    form.errorHook = form.messageHook;
    KorbCalc& calc = form.Engine();
    for (const char* value : {"12 ft", "6 in"}) calc.EnterText(value);
    calc.Run(Command::Add);
    calc.EnterText("9.80665 m/sec^2");
    calc.EnterText("2.5 kg");
    calc.Run(Command::Multiply);
    calc.SetRegister("3.14159265358979 rad", 0);
    calc.SetRegister("4.5 lbf*ft", 1);
    calc.SetRegister("0.75 kg", 2);
    calc.EnterText("12 ft/sec^2");
    if (!form.StackForm()->isVisible()) form.ShowStack1Click();
    if (!form.RegisterForm()->isVisible()) form.ShowRegisters1Click();
    QApplication::processEvents();
    auto save = [&dir](QWidget* w, const char* name) {
        const QString file = QDir(dir).filePath(name);
        if (!w->grab().save(file)) std::fprintf(stderr, "Korbcalc: cannot write %s\n", qPrintable(file));
    };
    if (!mainOnly.isEmpty()) {
        save(&form, qPrintable(mainOnly));
        return;
    }
    save(&form, "main-window.png");
    save(form.StackForm(), "stack-window.png");
    save(form.RegisterForm(), "register-window.png");
    // The units selector is modal: picture it once it is up, then cancel it.
    QTimer::singleShot(200, &form, [&form, save] {
        TUnitsDlg* dlg = form.UnitsDlg();
        dlg->SetDenominator(true);
        dlg->PressUnitButton("sec");
        QApplication::processEvents();
        save(dlg, "units-selector.png");
        dlg->reject();
    });
    form.RunUnitsSelector("12 ft");
}

// Started from the desktop menu (the desktop entry passes --desktop) the working directory means
// nothing, so the data files go to the per-user application data folder instead.
void UseDataFolderWhenStartedFromDesktop() {
    if (!QApplication::arguments().contains("--desktop")) return;
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir) || !QDir::setCurrent(dir))
        ShowErrorBox("Cannot use the data folder " + dir + "; files are kept in " + QDir::currentPath());
}

} // namespace

int main(int argc, char* argv[]) {
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
        const QStringList args = QApplication::arguments();
        const qsizetype shot = args.indexOf("--screenshot");
        if (shot >= 0 && shot + 1 < args.size()) form.messageHook = [](const std::string&) {};
        if (qEnvironmentVariableIsSet("MERIDOT_STARTUP_TIME"))
            QObject::connect(&form, &TKorbCalcForm::firstPainted, [] {
                std::fprintf(stderr, "Korbcalc: first paint %.0f ms after process start\n", ProcessAgeMs());
            });
        // --quit-after-paint: ends once the main window is painted. Messages go to the error
        // output, since a message box would wait for a click that never comes.
        const bool quitAfterPaint = args.contains("--quit-after-paint");
        bool painted = false;
        if (quitAfterPaint) {
            form.messageHook = [](const std::string& m) {
                std::fprintf(stderr, "Korbcalc: %s\n", m.c_str());
            };
            form.errorHook = form.messageHook;
            QObject::connect(&form, &TKorbCalcForm::firstPainted, &app, [&painted, &app] {
                painted = true;
                QTimer::singleShot(0, &app, &QApplication::quit);
            });
        }
        guard.Watch(form);
        form.StartUp();
        if (const auto problem = store.Problem()) form.ShowMessage(*problem);
        guard.Started();
        // A paint during start-up quits an event loop that is not the main one.
        if (quitAfterPaint && painted) return 0;
        if (shot >= 0 && shot + 1 < args.size()) {
            const qsizetype mainOnly = args.indexOf("--screenshot-main");
            TakeScreenshots(form, args[shot + 1],
                            mainOnly >= 0 && mainOnly + 1 < args.size() ? args[mainOnly + 1] : QString());
            return 0;
        }
        // 6. The message loop, until the main window closes.
        return app.exec();
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    }
    return 1;
}
