// The main window at 200% scale: pictures drawn at device resolution rather than scaled up, and
// no caption or value clipped. The scale is set before the application starts.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "settings/ValueStore.h"
#include "ui/KorbCalcMainForm.h"
#include "units/NumberUnits.h"

namespace {

// The share of 2 x 2 device-pixel blocks that are not one flat colour: 0 for a picture drawn at
// half the resolution and doubled.
double DetailedBlocks(const QImage& image) {
    int detailed = 0, blocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb c = image.pixel(x, y);
            ++blocks;
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c)
                ++detailed;
        }
    return blocks ? static_cast<double>(detailed) / blocks : 0;
}

} // namespace

class TestHighDpi : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    MemoryValueStore store_;
    std::unique_ptr<TKorbCalcForm> form_;

private slots:
    void initTestCase() {
        InitUnitTables();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir_->path()));
        form_ = std::make_unique<TKorbCalcForm>(store_);
        form_->messageHook = [](const std::string&) {};
        form_->errorHook = [](const std::string&) {};
        form_->StartUp();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    }
    void cleanupTestCase() {
        form_.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    void grabIsAtDoubleResolution() {
        QCOMPARE(form_->devicePixelRatio(), 2.0);
        const QPixmap shot = form_->grab();
        QCOMPARE(shot.devicePixelRatio(), 2.0);
        QCOMPARE(shot.size(), form_->size() * 2);
    }

    void picturesAreDrawnAtDeviceResolution_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("emblem") << "Image1";
        QTest::newRow("editing indicator") << "IsEditingImg";
        QTest::newRow("second-function name") << "AreaImg";
        QTest::newRow("2nd key") << "SecondFBtn";
    }
    void picturesAreDrawnAtDeviceResolution() {
        QFETCH(QString, name);
        auto* widget = form_->findChild<QWidget*>(name);
        QVERIFY(widget);
        const QImage image = widget->grab().toImage();
        QCOMPARE(image.size(), widget->size() * 2);
        QVERIFY2(DetailedBlocks(image) > 0.05, qPrintable(QString::number(DetailedBlocks(image))));
    }

    void nothingIsClipped() {
        for (QPushButton* b : form_->findChildren<QPushButton*>()) {
            if (!b->isVisible()) continue;
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) <= b->width() - 2,
                     qPrintable(b->objectName()));
        }
        for (QToolButton* b : form_->findChildren<QToolButton*>()) {
            if (!b->isVisible()) continue;
            QVERIFY2(b->fontMetrics().horizontalAdvance(b->text()) <= b->width() - 2,
                     qPrintable(b->objectName()));
        }
        // A long value shows its first digit.
        form_->SetDisplayText("123456789.000000000000000 lbf*ft/sec^2");
        QApplication::processEvents();
        QTextCursor start(form_->Display()->document());
        QVERIFY(form_->Display()->cursorRect(start).left() >= 0);
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestHighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
