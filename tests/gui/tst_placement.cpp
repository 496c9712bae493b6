// Where the windows open: wholly inside a screen of 1280 x 1024 pixels at 200% scale (640 x 512 in
// window coordinates), whatever positions the preferences file holds. A stored position that fits
// is kept; one that does not is moved the least distance.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <limits>
#include <memory>

#include "gui/start_form.h"
#include "settings/ValueStore.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/RegisterFormUnit.h"
#include "ui/ScreenPlacement.h"
#include "ui/StackFormUnit.h"
#include "units/NumberUnits.h"

namespace {

constexpr std::int64_t kMax = std::numeric_limits<int>::max();
constexpr std::int64_t kMin = std::numeric_limits<int>::min();

bool WhollyOnAScreen(const QWidget* w) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(w->frameGeometry())) return true;
    return false;
}

QString Where(const QWidget* w) {
    const QRect f = w->frameGeometry();
    return QString("%1 at %2, %3 size %4 x %5")
        .arg(w->objectName())
        .arg(f.x())
        .arg(f.y())
        .arg(f.width())
        .arg(f.height());
}

// The preferences file of a start: the position lines given, everything else as a first start
// writes it.
QByteArray PrefsFile(const QString& positions) {
    QString text = "[Startup Options]\r\nShow_Stack = true\r\nShow_Regs = true\r\nSave_Prefs = true\r\n"
                   "Save_Stack = false\r\nSave_Regs = false\r\n" +
                   positions;
    return text.replace(";", "\r\n").toUtf8() + "\r\n";
}

} // namespace

Q_DECLARE_METATYPE(std::int64_t)

class TestPlacement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InitUnitTables();
        QCOMPARE(QGuiApplication::screens().size(), 1);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 640, 512));
    }

    void nearestPlace_data() {
        QTest::addColumn<std::int64_t>("x");
        QTest::addColumn<std::int64_t>("y");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("expected");
        // Two monitors side by side, the right one lower and smaller.
        QTest::newRow("fits: kept") << std::int64_t{100} << std::int64_t{50} << QSize(300, 200)
                                    << QPoint(100, 50);
        QTest::newRow("fits on the second")
            << std::int64_t{1500} << std::int64_t{300} << QSize(300, 200) << QPoint(1500, 300);
        QTest::newRow("past the right edge, below the second")
            << std::int64_t{1302} << std::int64_t{900} << QSize(300, 200) << QPoint(980, 824);
        QTest::newRow("across both: the nearer")
            << std::int64_t{1200} << std::int64_t{400} << QSize(300, 200) << QPoint(1280, 400);
        QTest::newRow("above and left")
            << std::int64_t{-40} << std::int64_t{-30} << QSize(300, 200) << QPoint(0, 0);
        QTest::newRow("unplugged monitor")
            << std::int64_t{3000} << std::int64_t{700} << QSize(300, 200) << QPoint(1700, 568);
        QTest::newRow("larger than any screen")
            << std::int64_t{500} << std::int64_t{500} << QSize(4000, 3000) << QPoint(0, 0);
        QTest::newRow("int max") << kMax << kMax << QSize(300, 200) << QPoint(1700, 568);
        QTest::newRow("int min") << kMin << kMin << QSize(300, 200) << QPoint(0, 0);
        QTest::newRow("past int max") << kMax + 300 << kMin - 200 << QSize(300, 200) << QPoint(1700, 200);
    }
    void nearestPlace() {
        QFETCH(std::int64_t, x);
        QFETCH(std::int64_t, y);
        QFETCH(QSize, size);
        QFETCH(QPoint, expected);
        const QList<QRect> monitors{QRect(0, 0, 1280, 1024), QRect(1280, 200, 720, 568)};
        QCOMPARE(NearestPlaceInAreas(x, y, size, monitors), expected);
        QCOMPARE(NearestPlaceInAreas(x, y, size, {}), QPoint(static_cast<int>(std::clamp(x, kMin, kMax)),
                                                             static_cast<int>(std::clamp(y, kMin, kMax))));
    }

    void windowsOpenOnTheScreen_data() {
        QTest::addColumn<QString>("positions");
        QTest::addColumn<QPoint>("main"); // where the main window's frame must be; (-1, -1): anywhere
        QTest::addColumn<QPoint>("stack");
        const QPoint any(-1, -1);
        QTest::newRow("no file") << QString() << any << any;
        QTest::newRow("saved places that fit are kept") << "Save_Pos = true;Calc_Pos = 10, 20;Save_Stack_Pos "
                                                           "= true;Stack_Pos = 30, 40;Save_Reg_Pos = false"
                                                        << QPoint(10, 20) << QPoint(30, 40);
        QTest::newRow("beside the main window, past the edge")
            << "Save_Pos = true;Calc_Pos = 200, 100;Save_Stack_Pos = false;Save_Reg_Pos = false"
            << QPoint(200, 100) << any;
        QTest::newRow("an unplugged monitor on the right")
            << "Save_Pos = true;Calc_Pos = 1700, 30;Save_Stack_Pos = true;Stack_Pos = 2400, 600;"
               "Save_Reg_Pos = true;Reg_Pos = 1900, 20"
            << any << any;
        QTest::newRow("an unplugged monitor on the left")
            << "Save_Pos = true;Calc_Pos = -1500, 60;Save_Stack_Pos = true;Stack_Pos = -900, 10;"
               "Save_Reg_Pos = false"
            << QPoint(0, 60) << QPoint(0, 10);
        QTest::newRow("the integer limits, a bad stack position")
            << "Save_Pos = true;Calc_Pos = 2147483647, 2147483647;Save_Stack_Pos = true;Stack_Pos = bad;"
               "Save_Reg_Pos = true;Reg_Pos = -2147483648, -2147483648"
            << any << any;
    }
    void windowsOpenOnTheScreen() {
        QFETCH(QString, positions);
        QFETCH(QPoint, main);
        QFETCH(QPoint, stack);
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path()));
        if (!positions.isEmpty()) {
            QFile file("Meridot.ini");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(PrefsFile(positions));
        }
        MemoryValueStore store;
        QStringList messages, errors;
        {
            auto form = StartForm(store, messages, errors);
            // Without a file the stack and register windows start hidden: F5 and F6 show them.
            if (!form->StackForm()->isVisible()) form->ShowStack1Click();
            if (!form->RegisterForm()->isVisible()) form->ShowRegisters1Click();
            QApplication::processEvents();
            const QWidget* windows[] = {form.get(), form->StackForm(), form->RegisterForm()};
            for (const QWidget* w : windows) {
                QVERIFY(w->isVisible());
                QVERIFY2(WhollyOnAScreen(w), qPrintable(Where(w)));
            }
            if (main != QPoint(-1, -1)) QCOMPARE(form->frameGeometry().topLeft(), main);
            if (stack != QPoint(-1, -1)) QCOMPARE(form->StackForm()->frameGeometry().topLeft(), stack);
            form->close();
        }
        // What the file keeps at the end is where the windows were.
        QFile file("Meridot.ini");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString written = QString::fromUtf8(file.readAll());
        for (const char* key : {"Calc_Pos", "Stack_Pos", "Reg_Pos"}) {
            const auto m = QRegularExpression(QString(key) + R"( = (-?\d+), (-?\d+))").match(written);
            QVERIFY2(m.hasMatch(), key);
            QVERIFY2(QRect(0, 0, 640, 512).contains(m.captured(1).toInt(), m.captured(2).toInt()),
                     qPrintable(m.captured(0)));
        }
        QDir::setCurrent(QDir::tempPath());
    }
};

int main(int argc, char* argv[]) {
    // One screen of 1280 x 1024 pixels at 200%: 640 x 512 in window coordinates. The screen's
    // description goes into a folder of the test's own.
    QTemporaryDir screens;
    QFile config(screens.filePath("screens.json"));
    if (!config.open(QIODevice::WriteOnly) ||
        config.write(R"({"screens": [{"name": "only", "x": 0, "y": 0, "width": 1280, "height": 1024,
                         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") < 0)
        return 1;
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestPlacement test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_placement.moc"
