// Speed of the stack window at a deep stack: the main window and the stack window shown on the
// offscreen platform, a saved stack of 100,000 entries (or as given) loaded at start, then 1,000
// pushes, pops, swaps and Enters (duplicating the top) through the engine. Each operation is
// timed together with the window's update and repaint; the medians are printed, in CPU time
// (the machine may be busy) and in wall time.
//
//   bench_stack_window [entries] [operations]
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "settings/ValueStore.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/StackFormUnit.h"

namespace {

double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double WallMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Counts the paints of a widget, to show that the timings include the repaint.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Lets the windows update and repaint what the last operation changed.
void Settle() {
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

bool WriteFile(const QString& name, const QByteArray& text) {
    QFile f(name);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

QByteArray StackFile(int entries) {
    static const char* const units[] = {"m", "ft", "kg", "sec", "N", "m/sec", "lbf*ft", "rad", "in", "J"};
    QByteArray text;
    text.reserve(entries * 16);
    for (int i = 0; i < entries; ++i) text += QByteArray::number(i) + ".25 " + units[i % 10] + "\r\n";
    return text;
}

struct Timing {
    const char* name;
    std::vector<double> cpu, wall;
};

void Report(const Timing& t) {
    std::printf("%-8s median %8.3f ms CPU  %8.3f ms wall  (%zu operations)\n", t.name, Median(t.cpu),
                Median(t.wall), t.cpu.size());
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100000;
    const int operations = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    QApplication app(argc, argv);

    // A scratch directory holds the preferences and the saved files; the stored values stay in memory.
    QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path())) return 1;
    const QByteArray prefs = "[Startup Options]\r\nShow_Stack = true\r\nShow_Regs = false\r\n"
                             "Calc_Pos = 300, 200\r\nSave_Prefs = false\r\nSave_Stack = true\r\n"
                             "Save_Regs = true\r\n[Other Options]\r\nFract_Notation = Fixed\r\n"
                             "Decimal_Places = 2\r\n";
    QByteArray registers;
    for (int i = 0; i < 10; ++i) registers += QByteArray::number(i) + " m\r\n";
    if (!WriteFile("Meridot.ini", prefs) || !WriteFile("SaveStck.dat", StackFile(entries)) ||
        !WriteFile("SaveRegs.dat", registers))
        return 1;

    MemoryValueStore store;
    store.Write("CalcMode", "1");
    const double cpu0 = CpuMs(), wall0 = WallMs();
    TKorbCalcForm form(store);
    auto report = [](const std::string& m) { std::fprintf(stderr, "bench: %s\n", m.c_str()); };
    form.messageHook = report;
    form.errorHook = report;
    form.StartUp();
    Settle();
    std::printf("start-up with %d entries: %.1f ms CPU, %.1f ms wall (window %s)\n", entries, CpuMs() - cpu0,
                WallMs() - wall0, form.StackForm()->isVisible() ? "shown" : "HIDDEN");

    KorbCalc& calc = form.Engine();
    PaintCounter counter;
    form.StackForm()->StackListBox()->viewport()->installEventFilter(&counter);
    auto time = [&](Timing& t, const std::function<void()>& op) {
        const double c = CpuMs(), w = WallMs();
        op();
        Settle();
        t.cpu.push_back(CpuMs() - c);
        t.wall.push_back(WallMs() - w);
    };

    Timing enter{"enter", {}, {}}, push{"push", {}, {}}, pop{"pop", {}, {}}, swap{"swap", {}, {}};
    for (int i = 0; i < operations; ++i) {
        time(push, [&] { calc.EnterText(std::to_string(i) + ".5 m"); });
        time(swap, [&] { calc.StackTopFlipBtnClick(); });
        time(enter, [&] { calc.BtnEnterClick(); }); // the display shows the top: Enter duplicates it
        time(pop, [&] { calc.BtnDelClick(); });     // the display shows the top: it is deleted
        time(pop, [&] { calc.BtnDelClick(); });     // the display shows the top: it is deleted
    }
    const int depth = calc.Stack().Depth();
    for (const Timing* t : {&enter, &push, &pop, &swap}) Report(*t);
    std::printf("stack depth at the end %d (expected %d), list viewport paints %d\n", depth, entries,
                counter.paints);
    return depth == entries ? 0 : 1;
}
