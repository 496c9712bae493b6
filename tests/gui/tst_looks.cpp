// What a user sees whatever fonts the machine has: every caption of every window fits its control,
// a toggle that is on looks on in both themes, the help's topic titles show whole, and the register
// window keeps a margin on both sides.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "gui/start_form.h"
#include "settings/ValueStore.h"
#include "ui/AboutBoxForm.h"
#include "ui/ErrWindowForm.h"
#include "ui/FormatFormUnit.h"
#include "ui/HelpWindow.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/PreferencesForm.h"
#include "ui/PreferredUnitsForm.h"
#include "ui/ReadmeFormUnit.h"
#include "ui/RegisterFormUnit.h"
#include "ui/ResetCalcForm.h"
#include "ui/UnitsSelectorUnit.h"
#include "units/NumberUnits.h"

namespace {

QString Plain(QString text) {
    return text.remove(QRegularExpression("&(?!&)"));
}

QString NameOf(const QWidget* w) {
    return w->objectName().isEmpty()
               ? QString(w->metaObject()->className()) + " \"" + w->property("text").toString() + "\""
               : w->objectName();
}

// The controls of a window whose caption is cut off, sideways or at the top and bottom.
QStringList Clipped(const QWidget* window) {
    QStringList clipped;
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window) || w->width() == 0) continue;
        const QFontMetrics fm = w->fontMetrics();
        bool fits = true;
        if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w)) {
            fits = w->sizeHint().width() <= w->width();
        } else if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
            if (b->text().isEmpty()) continue;
            // A caption, clear of the button's bevel on both sides.
            fits = fm.horizontalAdvance(Plain(b->text())) <= b->width() - 2 && fm.height() <= b->height();
        } else if (const auto* l = qobject_cast<const QLabel*>(w)) {
            if (l->text().isEmpty() || !l->pixmap().isNull()) continue;
            if (l->wordWrap())
                fits = l->heightForWidth(l->width()) <= l->height();
            else
                fits = l->minimumSizeHint().width() <= l->width() && fm.height() <= l->height();
        } else if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
            fits = fm.horizontalAdvance(Plain(g->title())) + 2 * fm.averageCharWidth() <= g->width();
        }
        if (!fits)
            clipped << NameOf(w) + QString(" (%1 x %2, needs %3)")
                                       .arg(w->width())
                                       .arg(w->height())
                                       .arg(w->sizeHint().width());
    }
    return clipped;
}

// The share of a button's inner pixels whose colour differs clearly between two pictures of it.
double ChangedShare(const QImage& a, const QImage& b) {
    int changed = 0, all = 0;
    for (int y = 3; y < a.height() - 3; ++y)
        for (int x = 3; x < a.width() - 3; ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            ++all;
            if (std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                          std::abs(p.blue() - q.blue())}) >= 48)
                ++changed;
        }
    return all ? static_cast<double>(changed) / all : 0;
}

} // namespace

class TestLooks : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    MemoryValueStore store_;
    QStringList messages_, errors_;
    std::unique_ptr<TKorbCalcForm> form_;

private slots:
    void initTestCase() {
        InitUnitTables();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(dir_->path()));
        form_ = StartForm(store_, messages_, errors_);
    }
    void cleanupTestCase() {
        form_.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    // The README names the message boxes of a first start, in an empty folder, as they are.
    void firstStartMessagesAreTheReadmes() {
        QCOMPARE(messages_.size(), 3);
        QFile readme(QT_TESTCASE_SOURCEDIR "/../README.md");
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(readme.readAll()).simplified();
        QVERIFY(text.contains("three message boxes"));
        for (const QString& message : messages_)
            QVERIFY2(text.contains('"' + message + '"'), qPrintable(message));
    }

    void captionsFit_data() {
        QTest::addColumn<QString>("window");
        for (const char* w : {"main", "main, dark", "stack", "registers", "units selector", "preferences",
                              "preferred units", "number format", "about", "reset", "error", "readme"})
            QTest::newRow(w) << w;
    }
    void captionsFit() {
        QFETCH(QString, window);
        const bool dark = window == "main, dark";
        form_->SetDarkTheme(dark);
        QWidget* shown = nullptr;
        if (window.startsWith("main"))
            shown = form_.get();
        else if (window == "stack")
            shown = form_->StackForm();
        else if (window == "registers")
            shown = form_->RegisterForm();
        else if (window == "units selector")
            shown = form_->UnitsDlg();
        else if (window == "preferences")
            shown = form_->PrefForm();
        else if (window == "preferred units")
            shown = form_->PrefForm()->PreferredUnits;
        else if (window == "number format")
            shown = form_->FormatForm();
        else if (window == "error")
            shown = form_->ErrWindow();
        else if (window == "reset")
            shown = form_->ResetDialog();
        else if (window == "about")
            shown = form_->findChild<TAboutBox*>();
        else if (window == "readme")
            shown = form_->findChild<TReadmeForm*>();
        QVERIFY2(shown, qPrintable(window));
        const bool wasVisible = shown->isVisible();
        shown->show();
        QApplication::processEvents();
        QStringList clipped = Clipped(shown);
        // Every page of the units selector, each with its own buttons.
        if (auto* pages = shown->findChild<QStackedWidget*>("UnitsPages")) {
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                QApplication::processEvents();
                for (const QString& name : Clipped(pages->widget(i)))
                    clipped << pages->widget(i)->objectName() + ": " + name;
            }
            pages->setCurrentIndex(0);
        }
        if (!wasVisible) shown->hide();
        form_->SetDarkTheme(false);
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
    }

    void toggleOnLooksOn_data() {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("name");
        for (bool dark : {false, true})
            for (const char* name : {"AutoConvertBtn", "SIBtn", "USBtn", "ShowStackBtn", "ShowRegsBtn"})
                QTest::addRow("%s, %s", dark ? "dark" : "light", name) << dark << name;
    }
    void toggleOnLooksOn() {
        QFETCH(bool, dark);
        QFETCH(QString, name);
        form_->SetDarkTheme(dark);
        auto* toggle = form_->findChild<QToolButton*>(name);
        QVERIFY(toggle);
        // SI and US take turns; here each is pictured on its own.
        QButtonGroup* group = toggle->group();
        if (group) group->setExclusive(false);
        const bool was = toggle->isChecked();
        toggle->setChecked(false);
        const QImage off = toggle->grab().toImage();
        toggle->setChecked(true);
        const QImage on = toggle->grab().toImage();
        toggle->setChecked(was);
        if (group) group->setExclusive(true);
        form_->SetDarkTheme(false);
        const double share = ChangedShare(off, on);
        QVERIFY2(share >= 0.5, qPrintable(QString::number(share)));
    }

    void helpTitlesShowWhole() {
        HelpWindow help;
        help.show();
        QApplication::processEvents();
        QListWidget* list = help.ContentsList;
        QVERIFY(list->count() > 10);
        QVERIFY(!list->horizontalScrollBar()->isVisible());
        for (int i = 0; i < list->count(); ++i) {
            const QRect item = list->visualItemRect(list->item(i));
            QVERIFY2(list->fontMetrics().horizontalAdvance(list->item(i)->text()) <= item.width() &&
                         item.right() < list->viewport()->width(),
                     qPrintable(list->item(i)->text()));
        }
    }

    void registerColumnsKeepTheirMargins() {
        TRegisterForm* regs = form_->RegisterForm();
        int left = regs->width(), right = 0;
        for (const QWidget* w : regs->findChildren<QWidget*>()) {
            if (w->parentWidget() != regs || w->isWindow()) continue;
            left = std::min(left, w->x());
            right = std::max(right, w->geometry().right() + 1);
        }
        QVERIFY(left >= 4);
        QCOMPARE(regs->width() - right, left);
    }
};

QTEST_MAIN(TestLooks)
#include "tst_looks.moc"
