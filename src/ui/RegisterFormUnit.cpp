#include "ui/RegisterFormUnit.h"

#include <QCloseEvent>
#include <QLabel>

#include "ui/DialogStyle.h"
#include "ui/KorbCalcMainForm.h"
#include "ui/ScreenPlacement.h"
#include "ui/StackListModel.h"
#include "ui/ToolWindowMenu.h"

TRegisterForm::TRegisterForm(TKorbCalcForm& main)
    : QWidget(&main, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      main_(main) {
    setObjectName("RegisterForm");
    setWindowTitle("Register Contents");
    KeepOnScreenWhenShown(this);
    setProperty(kHelpContextProperty, HelpContexts::Registers);
    setFixedSize(ClientWidth, ClientHeight);

    // Registers 0-4 in the left column, 5-9 in the right, top to bottom.
    constexpr int rowStep = 25, top = 10, labelWidth = 14, listWidth = 161, listHeight = 17;
    constexpr int columnLeft[2] = {8, 190};
    for (int i = 0; i < StackCalc::RegisterCount; ++i) {
        const int column = i / 5, rowIndex = i % 5;
        const int x = columnLeft[column], y = top + rowIndex * rowStep;
        auto* label = new QLabel(QString::number(i), this);
        label->setGeometry(x, y, labelWidth, listHeight);
        auto* list = new TDragListBox(QStringLiteral("lbReg%1").arg(i), i, this);
        auto* model = new RegisterListModel(
            main_.Engine().Stack(), i,
            [this](const std::string& text) { return main_.FormatForDisplay(text); }, list);
        list->setModel(model);
        models_[static_cast<size_t>(i)] = model;
        list->setGeometry(x + labelWidth + 2, y, listWidth, listHeight);
        list->setProperty(kHelpContextProperty, HelpContexts::Registers);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFrameShape(QFrame::Box);
        list->setFont(QFont("Arial", 8));
        list->setAccessibleName(QStringLiteral("Register %1").arg(i));
        label->setBuddy(list);
        // Only the stack list may be dropped on a register: its entry is stored there.
        list->acceptDrop = [](const DropSource& s) {
            return s.isListBox && s.componentName == "StackListBox";
        };
        list->onDrop = [this, list](const DropSource& s) {
            main_.Run([&] { main_.Engine().StoreEntryInRegister(s.itemIndex, list->Tag()); });
            main_.FocusMainWindow();
        };
        connect(list, &QAbstractItemView::doubleClicked, this, [this, list] { regconClick(list->Tag()); });
        lists_[static_cast<size_t>(i)] = list;
    }

    popup_ = BuildToolWindowMenu(
        main_, *this, {"RegisterPopupMenu", "P&references", "ClearRegisterContents1", "Clear Registers"},
        [this] { ClearRegisterContents1Click(); }, {lists_.begin(), lists_.end()});
}

void TRegisterForm::StartUp() {
    const Settings& s = main_.Prefs();
    if (s.ShowRegs) main_.ShowRegisters1Click();
    if (s.SaveRegs) main_.Run([&] { main_.Engine().LoadSavedRegisters(); });
    if (isVisible()) Refresh();
}

void TRegisterForm::Refresh() {
    // As a list refilled: the text anew, no row left selected.
    for (size_t i = 0; i < models_.size(); ++i) {
        models_[i]->Refresh();
        if (lists_[i]->selectionModel()) lists_[i]->selectionModel()->clear();
    }
}

void TRegisterForm::PlaceForShow() {
    const Settings& s = main_.Prefs();
    if (s.SaveRegPos) {
        MoveOntoScreen(this, s.RegPos.x, s.RegPos.y);
        return;
    }
    const QRect mainFrame = main_.frameGeometry();
    const TStackForm* stack = main_.StackForm();
    std::int64_t y = mainFrame.top();
    if (stack && stack->isVisible() && !s.SaveStackPos)
        y = std::int64_t{stack->frameGeometry().top()} + stack->frameGeometry().height();
    MoveOntoScreen(this, std::int64_t{mainFrame.left()} + mainFrame.width(), y);
}

void TRegisterForm::regconClick(int tag) {
    main_.Run([&] { main_.Engine().RecallRegister(tag); });
    main_.FocusMainWindow();
}

void TRegisterForm::ClearRegisterContents1Click() {
    main_.Run([&] { main_.Engine().ClearRegisters(); });
    main_.FocusMainWindow();
}

void TRegisterForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (isVisible()) main_.ShowRegisters1Click();
}
