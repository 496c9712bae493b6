// The program's help ("Help.hlp"): topics written for the calculator, opened by help context,
// by topic name, or through the keyword index.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;

// The help file name the program passes; the window serves it from the program's resources.
inline constexpr char kHelpFileName[] = "Help.hlp";

struct HelpTopic {
    QString id;    // file name without ".html"
    QString title; // the page's <title>
    QStringList keywords;
};

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Opens the topic of a help context (10 main window and keypad, 1 other controls,
    // 11 units selector, 20 stack window, 21 register window); any other context opens Contents.
    void ShowContext(int context);
    // Opens a topic by its id or title ("Contents" included); an unknown name opens Contents.
    void ShowTopic(const QString& topic);
    // Opens the keyword index with the search field focused.
    void ShowSearch();

    static QString TopicForContext(int context);
    // A topic's page, as the browser shows it: the generated topics filled in. Empty for an unknown id.
    static QString TopicHtml(const QString& id);
    const std::vector<HelpTopic>& Topics() const { return topics_; }
    QString CurrentTopic() const { return current_; }
    // Filters the keyword index as typing into the search field does; the first match is selected.
    void FilterIndex(const QString& text);
    // Opens the topic of the selected index entry; false when nothing is selected.
    bool OpenSelectedKeyword();

    QTextBrowser* Browser = nullptr;
    QTabWidget* Tabs = nullptr;
    QListWidget* ContentsList = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QListWidget* IndexList = nullptr;

private:
    void LoadTopics();
    void Open(const HelpTopic& topic);
    void SourceChanged(const class QUrl& url);

    std::vector<HelpTopic> topics_;
    QString current_;
};
