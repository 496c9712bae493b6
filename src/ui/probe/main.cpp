// Korbcalc started as a user starts it, for measuring its start-up and taking its pictures; not
// installed. It reports on the error output when the main window was first painted.
//   korbcalc-probe [--desktop] [--quit-after-paint] [--screenshot DIR [--screenshot-main NAME]]
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "ui/KorbCalcMainForm.h"
#include "ui/ProgramStart.h"
#include "ui/RegisterFormUnit.h"
#include "ui/StackFormUnit.h"
#include "ui/UnitsSelectorUnit.h"

namespace {

// Milliseconds since the process started, from the kernel's start time of the process; -1 where
// that cannot be read.
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

void PrintMessage(const std::string& m) {
    std::fprintf(stderr, "Korbcalc: %s\n", m.c_str());
}

// --screenshot DIR [--screenshot-main NAME]: fills the calculator with a few values, saves pictures
// of the main window, the stack and register windows and the units selector into DIR, and quits.
// With a main-window file name, only the main window is saved, under that name (the 200% and
// dark-theme pictures).
void TakeScreenshots(TKorbCalcForm& form, const QString& dir, const QString& mainOnly) {
    form.messageHook = PrintMessage;
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

// The value after an option, or nothing.
QString OptionValue(const QStringList& args, const char* option) {
    const qsizetype at = args.indexOf(option);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : QString();
}

} // namespace

int main(int argc, char* argv[]) {
    bool painted = false;
    StartHooks hooks;
    hooks.beforeStart = [&painted](TKorbCalcForm& form) {
        const QStringList args = QApplication::arguments();
        if (!OptionValue(args, "--screenshot").isEmpty()) form.messageHook = [](const std::string&) {};
        QObject::connect(&form, &TKorbCalcForm::firstPainted, [] {
            std::fprintf(stderr, "Korbcalc: first paint %.0f ms after process start\n", ProcessAgeMs());
        });
        // --quit-after-paint: ends once the main window is painted. Messages go to the error
        // output, since a message box would wait for a click that never comes.
        if (args.contains("--quit-after-paint")) {
            form.messageHook = PrintMessage;
            form.errorHook = form.messageHook;
            QObject::connect(&form, &TKorbCalcForm::firstPainted, qApp, [&painted] {
                painted = true;
                // Not quit(): that asks every window to close, and a shown stack window turns a
                // close into a hide, which would keep the program running.
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
            });
        }
    };
    hooks.afterStart = [&painted](TKorbCalcForm& form) -> std::optional<int> {
        const QStringList args = QApplication::arguments();
        // A paint during start-up quits an event loop that is not the main one.
        if (args.contains("--quit-after-paint") && painted) return 0;
        if (const QString dir = OptionValue(args, "--screenshot"); !dir.isEmpty()) {
            TakeScreenshots(form, dir, OptionValue(args, "--screenshot-main"));
            return 0;
        }
        return std::nullopt;
    };
    return RunCalculator(argc, argv, hooks);
}
