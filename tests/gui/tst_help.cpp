// The help window: its topics for each help context, links between them, the keyword index, and
// the topics made from the program's own tables.
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>
#include <algorithm>

#include "ui/HelpUnitNames.h"
#include "ui/HelpWindow.h"
#include "units/NumberUnits.h"
#include "units/UnitNotes.h"

class TestHelp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitUnitTables(); }

    void helpContexts_data();
    void helpContexts();
    void helpLinksAndSearch();
    void keypadHelpReadsAsWritten();
};

// ---- help ------------------------------------------------------------------------------------------

void TestHelp::helpContexts_data() {
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("title");
    QTest::newRow("main window") << 10 << "Main Window and Keypad";
    QTest::newRow("other controls") << 1 << "Menus, Toggle Buttons and Shortcut Keys";
    QTest::newRow("units selector") << 11 << "Units Selector";
    QTest::newRow("stack window") << 20 << "Operand Stack and the Stack Window";
    QTest::newRow("register window") << 21 << "Registers and the Register Contents Window";
    QTest::newRow("unknown context") << 77 << "Contents";
}

void TestHelp::helpContexts() {
    QFETCH(int, context);
    QFETCH(QString, title);
    HelpWindow help;
    help.ShowContext(context);
    QVERIFY(help.isVisible());
    QCOMPARE(help.Browser->documentTitle(), title);
    QVERIFY(help.Browser->toPlainText().size() > 200);
}

void TestHelp::helpLinksAndSearch() {
    HelpWindow help;
    QCOMPARE(help.Topics().size(), std::size_t{14});
    // Every link of every topic opens another topic.
    static const QRegularExpression link("href=\"([^\"]+)\"");
    for (const auto& topic : help.Topics()) {
        help.ShowTopic(topic.id);
        QCOMPARE(help.Browser->documentTitle(), topic.title);
        QVERIFY2(!topic.keywords.isEmpty(), qPrintable(topic.id));
        const QString html = HelpWindow::TopicHtml(topic.id);
        for (const auto& m : link.globalMatch(html)) {
            QString target = m.captured(1);
            target.chop(5);
            QVERIFY2(std::any_of(help.Topics().begin(), help.Topics().end(),
                                 [&](const HelpTopic& t) { return t.id == target; }),
                     qPrintable(topic.id + " -> " + m.captured(1)));
        }
    }
    help.ShowTopic("Contents");
    QCOMPARE(help.CurrentTopic(), QString("contents"));

    help.ShowSearch();
    QCOMPARE(help.Tabs->currentIndex(), 1);
    QTest::keyClicks(help.SearchEdit, "autoconv");
    QVERIFY(help.IndexList->currentItem());
    QVERIFY(help.IndexList->currentItem()->text().startsWith("AutoConv", Qt::CaseInsensitive));
    QTest::keyClick(help.SearchEdit, Qt::Key_Return);
    const QString opened = help.CurrentTopic();
    QVERIFY(std::any_of(help.Topics().begin(), help.Topics().end(), [&](const HelpTopic& t) {
        return t.id == opened && t.keywords.filter("AutoConv", Qt::CaseInsensitive).size() > 0;
    }));
    // The generated topic lists every name the catalogue reads, aliases and prefixed units too.
    help.ShowTopic("Units: every name, alias and prefix");
    QCOMPARE(help.CurrentTopic(), QString(helppage::UnitNamesId));
    const QString listed = help.Browser->toPlainText();
    for (const auto& row : unitnames::AllNames())
        QVERIFY2(listed.contains(QString::fromStdString(row.name)), row.name.c_str());
    for (const char* name : {"mph", "kJ", "uF", "lbm", "micro"}) QVERIFY2(listed.contains(name), name);
    help.FilterIndex("no such keyword at all");
    QVERIFY(!help.OpenSelectedKeyword());
}

// The keypad topic's keys come from the command table; it reads as the page written out in full
// (tests/gui/keypad_help.html): the same text, tables, links and index keywords.
void TestHelp::keypadHelpReadsAsWritten() {
    QFile file(KEYPAD_HELP_PAGE);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString written = QString::fromUtf8(file.readAll());
    const QString generated = HelpWindow::TopicHtml("keypad");
    QVERIFY2(!generated.contains("{{"), qPrintable(generated));
    QTextDocument want, got;
    want.setHtml(written);
    got.setHtml(generated);
    QCOMPARE(got.metaInformation(QTextDocument::DocumentTitle),
             want.metaInformation(QTextDocument::DocumentTitle));
    QCOMPARE(got.toPlainText(), want.toPlainText());
    QCOMPARE(got.toHtml(), want.toHtml());
    // The index lists the keywords sorted, so only their order within the page may differ.
    static const QRegularExpression keywordsRe("<meta name=\"keywords\" content=\"([^\"]*)\"");
    auto keywords = [](const QString& html) {
        QStringList list = keywordsRe.match(html).captured(1).split(", ");
        list.sort();
        return list;
    };
    QCOMPARE(keywords(generated), keywords(written));
    QVERIFY(keywords(written).size() > 30);
}

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
