#include "ui/HelpWindow.h"

#include "ui/DialogStyle.h"
#include "ui/HelpKeypad.h"
#include "ui/HelpUnitNames.h"

#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

// The topics live in a static library; the resource must be registered explicitly, outside any
// namespace, or the linker drops it.
static void InitHelpResources() {
    Q_INIT_RESOURCE(help);
}

namespace {

// The topics in the order the contents list shows them.
const char* const kTopicOrder[] = {
    "contents", "keypad",      "controls",   "modes", "units",     helppage::UnitNamesId,
    "selector", "conversions", "unitsystem", "stack", "registers", "preferences",
    "formats",  "errors"};

struct HelpContext {
    int context;
    const char* topic;
};
const HelpContext kContexts[] = {
    {HelpContexts::Keypad, "keypad"},       {HelpContexts::Other, "controls"},
    {HelpContexts::Units, "selector"},      {HelpContexts::Stack, "stack"},
    {HelpContexts::Registers, "registers"},
};

constexpr char kContentsId[] = "contents";

QUrl TopicUrl(const QString& id) {
    return QUrl("qrc:/help/" + id + ".html");
}

// The browser takes the generated pages under the addresses the others have, so links reach them too.
class TopicBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::HtmlResource) {
            for (const char* id : {helppage::UnitNamesId, helppage::KeypadId})
                if (name.fileName() == QString(id) + ".html") return HelpWindow::TopicHtml(id);
        }
        return QTextBrowser::loadResource(type, name);
    }
};

} // namespace

// From the resources, or made here for the topic generated from the catalogue and for the
// keypad's, whose keys come from the command table.
QString HelpWindow::TopicHtml(const QString& id) {
    if (id == helppage::UnitNamesId) return QString::fromStdString(helppage::UnitNamesHtml());
    QFile file(":/help/" + id + ".html");
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray page = file.readAll();
    if (id == helppage::KeypadId)
        return QString::fromStdString(helppage::KeypadHtml(std::string_view(page.constData(), page.size())));
    return QString::fromUtf8(page);
}

QString HelpWindow::TopicForContext(int context) {
    for (const auto& c : kContexts)
        if (c.context == context) return c.topic;
    return kContentsId;
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    InitHelpResources();
    setObjectName("HelpWindow");
    setWindowTitle("Meridot Help");

    Browser = new TopicBrowser(this);
    Browser->setObjectName("HelpBrowser");
    Browser->setOpenExternalLinks(false);

    ContentsList = new QListWidget(this);
    ContentsList->setObjectName("ContentsList");
    SearchEdit = new QLineEdit(this);
    SearchEdit->setObjectName("SearchEdit");
    SearchEdit->setPlaceholderText("Type a keyword");
    SearchEdit->setClearButtonEnabled(true);
    IndexList = new QListWidget(this);
    IndexList->setObjectName("IndexList");

    auto* indexPage = new QWidget(this);
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->setContentsMargins(2, 2, 2, 2);
    indexLayout->addWidget(SearchEdit);
    indexLayout->addWidget(IndexList, 1);

    Tabs = new QTabWidget(this);
    Tabs->addTab(ContentsList, "Contents");
    Tabs->addTab(indexPage, "Index");

    auto* splitter = new QSplitter(this);
    splitter->addWidget(Tabs);
    splitter->addWidget(Browser);
    splitter->setStretchFactor(1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);

    LoadTopics();
    // The contents list is as wide as its longest title in the font present, with room for a
    // scroll bar, so that no title hides behind a sideways one.
    ContentsList->setMinimumWidth(ContentsList->sizeHintForColumn(0) + 2 * ContentsList->frameWidth() +
                                  ContentsList->verticalScrollBar()->sizeHint().width());
    const int contentsWidth = std::max(250, Tabs->minimumSizeHint().width());
    splitter->setSizes({contentsWidth, 470});
    resize(std::max(720, contentsWidth + 470 + splitter->handleWidth() + 8), 520);

    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(close, &QShortcut::activated, this, &QWidget::close);

    connect(ContentsList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(Qt::UserRole).toString()); });
    connect(ContentsList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { ShowTopic(item->data(Qt::UserRole).toString()); });
    connect(SearchEdit, &QLineEdit::textChanged, this, &HelpWindow::FilterIndex);
    connect(SearchEdit, &QLineEdit::returnPressed, this, &HelpWindow::OpenSelectedKeyword);
    connect(IndexList, &QListWidget::itemActivated, this, [this] { OpenSelectedKeyword(); });
    connect(IndexList, &QListWidget::itemClicked, this, [this] { OpenSelectedKeyword(); });
    connect(Browser, &QTextBrowser::sourceChanged, this, &HelpWindow::SourceChanged);
}

void HelpWindow::LoadTopics() {
    static const QRegularExpression titleRe("<title>(.*?)</title>",
                                            QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression keywordsRe("<meta\\s+name=\"keywords\"\\s+content=\"([^\"]*)\"",
                                               QRegularExpression::CaseInsensitiveOption);
    for (const char* id : kTopicOrder) {
        const QString html = TopicHtml(id);
        if (html.isEmpty()) continue;
        HelpTopic topic{id, id, {}};
        if (const auto m = titleRe.match(html); m.hasMatch()) topic.title = m.captured(1).trimmed();
        if (const auto m = keywordsRe.match(html); m.hasMatch())
            for (const QString& k : m.captured(1).split(',', Qt::SkipEmptyParts))
                topic.keywords << k.trimmed();
        topics_.push_back(topic);
    }

    for (const auto& topic : topics_) {
        auto* item = new QListWidgetItem(topic.title, ContentsList);
        item->setData(Qt::UserRole, topic.id);
    }
    struct Entry {
        QString keyword;
        const HelpTopic* topic;
    };
    std::vector<Entry> entries;
    for (const auto& topic : topics_)
        for (const auto& k : topic.keywords) entries.push_back({k, &topic});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return QString::compare(a.keyword, b.keyword, Qt::CaseInsensitive) < 0;
    });
    for (const auto& e : entries) {
        // A keyword found in several topics names its topic, so the entries can be told apart.
        const bool shared = std::count_if(entries.begin(), entries.end(), [&](const Entry& o) {
                                return QString::compare(o.keyword, e.keyword, Qt::CaseInsensitive) == 0;
                            }) > 1;
        auto* item =
            new QListWidgetItem(shared ? e.keyword + " (" + e.topic->title + ")" : e.keyword, IndexList);
        item->setData(Qt::UserRole, e.topic->id);
    }
}

void HelpWindow::Open(const HelpTopic& topic) {
    current_ = topic.id;
    Browser->setSource(TopicUrl(topic.id));
    for (int i = 0; i < ContentsList->count(); ++i)
        if (ContentsList->item(i)->data(Qt::UserRole).toString() == topic.id) ContentsList->setCurrentRow(i);
    show();
    raise();
    activateWindow();
}

void HelpWindow::SourceChanged(const QUrl& url) {
    // Links inside the topics move the browser; keep the current topic in step.
    const QString file = url.fileName();
    if (file.endsWith(".html")) current_ = file.chopped(5);
}

void HelpWindow::ShowTopic(const QString& name) {
    for (const auto& topic : topics_) {
        if (topic.id.compare(name, Qt::CaseInsensitive) == 0 ||
            topic.title.compare(name, Qt::CaseInsensitive) == 0) {
            Open(topic);
            return;
        }
    }
    for (const auto& topic : topics_)
        if (topic.id == kContentsId) Open(topic);
}

void HelpWindow::ShowContext(int context) {
    ShowTopic(TopicForContext(context));
}

void HelpWindow::ShowSearch() {
    Tabs->setCurrentIndex(1);
    show();
    raise();
    activateWindow();
    SearchEdit->setFocus();
    SearchEdit->selectAll();
}

void HelpWindow::FilterIndex(const QString& text) {
    const QString wanted = text.trimmed();
    int first = -1;
    for (int i = 0; i < IndexList->count(); ++i) {
        QListWidgetItem* item = IndexList->item(i);
        const bool match = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!match);
        if (match && first < 0 && item->text().startsWith(wanted, Qt::CaseInsensitive)) first = i;
    }
    if (first < 0)
        for (int i = 0; i < IndexList->count() && first < 0; ++i)
            if (!IndexList->item(i)->isHidden()) first = i;
    IndexList->setCurrentRow(first);
}

bool HelpWindow::OpenSelectedKeyword() {
    QListWidgetItem* item = IndexList->currentItem();
    if (!item || item->isHidden()) return false;
    ShowTopic(item->data(Qt::UserRole).toString());
    return true;
}
