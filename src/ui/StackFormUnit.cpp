#include "ui/StackFormUnit.h"

#include <QCloseEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

#include "ui/DialogStyle.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/RegisterFormUnit.h"
#include "ui/ScreenPlacement.h"
#include "ui/StackListModel.h"
#include "ui/ToolWindowMenu.h"

QMimeData* MakeListDragData(const DropSource& source) {
    auto* data = new QMimeData;
    const QString payload = QStringLiteral("%1\n%2\n%3")
                                .arg(QString::fromStdString(source.componentName))
                                .arg(source.tag)
                                .arg(source.itemIndex);
    data->setData(ListDragMimeType, payload.toUtf8());
    return data;
}

std::optional<DropSource> ReadListDragData(const QMimeData* data) {
    if (!data || !data->hasFormat(ListDragMimeType)) return std::nullopt;
    const QStringList parts = QString::fromUtf8(data->data(ListDragMimeType)).split('\n');
    if (parts.size() != 3) return std::nullopt;
    bool tagOk = false, indexOk = false;
    DropSource source;
    source.isListBox = true;
    source.componentName = parts[0].toStdString();
    source.tag = parts[1].toInt(&tagOk);
    source.itemIndex = parts[2].toInt(&indexOk);
    if (!tagOk || !indexOk) return std::nullopt;
    return source;
}

bool AnswerListDrag(QDropEvent* event, const std::function<bool(const DropSource&)>& accept) {
    auto source = ReadListDragData(event->mimeData());
    if (source && accept && accept(*source)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        return true;
    }
    event->ignore();
    return false;
}

// ---------------------------------------------------------------------------------------------

TDragListBox::TDragListBox(const QString& name, int tag, QWidget* parent) : QTableView(parent), tag_(tag) {
    setObjectName(name);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    setShowGrid(false);
    setWordWrap(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setProperty("Tag", tag);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void TDragListBox::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    // One line of text with a little room, as a list box row.
    if (event->type() == QEvent::FontChange)
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
}

int TDragListBox::count() const {
    return model() ? model()->rowCount() : 0;
}

int TDragListBox::currentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void TDragListBox::setCurrentRow(int row) {
    if (model() && selectionModel())
        selectionModel()->setCurrentIndex(model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
}

QString TDragListBox::itemText(int row) const {
    return model() ? model()->index(row, 0).data().toString() : QString();
}

QRect TDragListBox::rowRect(int row) const {
    return model() ? visualRect(model()->index(row, 0)) : QRect();
}

void TDragListBox::startDrag(Qt::DropActions) {
    const int row = currentRow();
    if (row < 0) return;
    DropSource source{true, objectName().toStdString(), tag_, row};
    auto* drag = new QDrag(this);
    drag->setMimeData(MakeListDragData(source));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

void TDragListBox::dragEnterEvent(QDragEnterEvent* event) {
    AnswerListDrag(event, acceptDrop);
}

void TDragListBox::dragMoveEvent(QDragMoveEvent* event) {
    AnswerListDrag(event, acceptDrop);
}

void TDragListBox::dropEvent(QDropEvent* event) {
    if (!AnswerListDrag(event, acceptDrop)) return;
    if (onDrop) onDrop(*ReadListDragData(event->mimeData()));
}

// ---------------------------------------------------------------------------------------------

TStackForm::TStackForm(TKorbCalcForm& main, StackListModel& model)
    : QWidget(&main, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      main_(main) {
    setObjectName("StackForm");
    setWindowTitle("Stack");
    KeepOnScreenWhenShown(this);
    setProperty(kHelpContextProperty, HelpContexts::Stack);
    resize(304, 150);

    list_ = new TDragListBox("StackListBox", 0, this);
    list_->setModel(&model);
    connect(&model, &StackListModel::entriesChanged, this, &TStackForm::ShowSelected);
    list_->setProperty(kHelpContextProperty, HelpContexts::Stack);
    list_->setFont(QFont("Arial", 10));
    list_->installEventFilter(this);
    // Only register lists may be dropped here: they recall their register.
    list_->acceptDrop = [](const DropSource& s) { return s.isListBox && s.componentName != "StackListBox"; };
    list_->onDrop = [this](const DropSource& s) {
        main_.Run([&] { main_.Engine().RecallRegister(s.tag); });
        main_.FocusMainWindow();
    };
    connect(list_, &QAbstractItemView::doubleClicked, this, [this] { StackListBoxDblClick(); });

    popup_ = BuildToolWindowMenu(
        main_, *this, {"StackPopupMenu", "Preferences", "ClearStackContents1", "Clear Stack Contents"},
        [this] { ClearStackContents1Click(); }, {list_});
}

void TStackForm::StartUp() {
    const Settings& s = main_.Prefs();
    if (s.ShowStack) main_.ShowStack1Click();
    // The list hears of the loaded entries once, from the engine.
    if (s.SaveStack) main_.Run([&] { main_.Engine().LoadSavedStack(); });
}

void TStackForm::ShowSelected() {
    const int sel = main_.Engine().Stack().Selected();
    if (sel < 0 || sel >= list_->count()) return;
    list_->setCurrentRow(sel);
    if (isVisible()) list_->scrollTo(list_->currentIndex());
}

void TStackForm::PlaceForShow() {
    const Settings& s = main_.Prefs();
    if (s.SaveStackPos) {
        MoveOntoScreen(this, s.StackPos.x, s.StackPos.y);
        return;
    }
    const QRect mainFrame = main_.frameGeometry();
    MoveOntoScreen(this, std::int64_t{mainFrame.left()} + mainFrame.width(), mainFrame.top());
    TRegisterForm* regs = main_.RegisterForm();
    if (regs && regs->isVisible() && !s.SaveRegPos && !s.SaveStackPos)
        MoveOntoScreen(regs, frameGeometry().left(),
                       std::int64_t{frameGeometry().top()} + frameGeometry().height());
}

void TStackForm::MoveSelectedToTop() {
    const int row = list_->currentRow();
    if (list_->count() == 0 || row < 0) return;
    main_.Run([&] { main_.Engine().MoveEntryToTop(row); });
}

void TStackForm::StackListBoxDblClick() {
    MoveSelectedToTop();
    main_.FocusMainWindow();
}

void TStackForm::ClearStackContents1Click() {
    main_.Run([&] { main_.Engine().ClearStackContents(); });
    main_.FocusMainWindow();
}

void TStackForm::FormDeactivate() {
    if (width() < MinWidth || height() < MinHeight)
        resize(std::max(width(), MinWidth), std::max(height(), MinHeight));
}

bool TStackForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress && list_->count() > 0) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace) {
            main_.FocusMainWindow();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const int row = list_->currentRow();
            MoveSelectedToTop();
            if (row >= 0 && row < list_->count()) list_->setCurrentRow(row);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TStackForm::closeEvent(QCloseEvent* event) {
    // The close box hides the window through the same toggle as F5, which stores its position.
    event->ignore();
    if (isVisible()) main_.ShowStack1Click();
}

void TStackForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    list_->setGeometry(8, 8, std::max(0, width() - 16), std::max(0, height() - 16));
}

void TStackForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowSelected();
}

void TStackForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) FormDeactivate();
}
