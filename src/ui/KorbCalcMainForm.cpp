#include "ui/KorbCalcMainForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFrame>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <exception>

#include "settings/ValueStore.h"
#include "ui/AboutBoxForm.h"
#include "ui/DialogStyle.h"
#include "ui/ErrWindowForm.h"
#include "ui/FormatFormUnit.h"
#include "ui/HelpWindow.h"
#include "ui/PreferencesForm.h"
#include "ui/ReadmeFormUnit.h"
#include "ui/RegisterFormUnit.h"
#include "ui/ResetCalcForm.h"
#include "ui/ScreenPlacement.h"
#include "ui/StackFormUnit.h"
#include "ui/StackListModel.h"
#include "ui/UnitsSelectorUnit.h"
#include "units/NumberFormat.h"

namespace {

constexpr int KeypadHelpContext = HelpContexts::Keypad;
constexpr int OtherHelpContext = HelpContexts::Other;
constexpr int UnitsHelpContext = HelpContexts::Units;

} // namespace

TKorbCalcForm::TKorbCalcForm(ValueStore& store, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      store_(store) {
    setObjectName("KorbCalcForm");
    setWindowTitle("Meridot");
    setProperty(kHelpContextProperty, KeypadHelpContext);

    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    client->setFixedSize(ClientWidth, ClientHeight);
    client->installEventFilter(this);
    setCentralWidget(client);

    BuildDisplay(client);
    BuildKeypad();
    BuildToggles();
    BuildSecondFunctionImages();
    BuildMenus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    move(DesignLeft, DesignTop);
    KeepOnScreenWhenShown(this);
    lightLook_ = CurrentLook();
    if (StoredDarkTheme(store_)) {
        items_.darkTheme->setChecked(true);
        ApplyTheme(true, lightLook_);
    }

    ApplyStoredFont();
    engine_ = std::make_unique<KorbCalc>(*this, store_);
    stackModel_ = std::make_unique<StackListModel>(engine_->Stack());
}

TKorbCalcForm::~TKorbCalcForm() {
    // The stack model goes before the engine: the engine's notices no longer reach it.
    listsFollowEngine_ = false;
    // Everything that reaches the engine goes before it: the other windows, then the display and
    // the keypad.
    delete stackForm_;
    delete registerForm_;
    stackForm_ = nullptr;
    registerForm_ = nullptr;
    const auto children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* w : children)
        if (w->isWindow()) delete w;
    display_->blockSignals(true);
    delete takeCentralWidget();
    display_ = nullptr;
}

// ---- running handlers and keys -----------------------------------------------------------------------

void TKorbCalcForm::Run(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    } catch (...) {
        ShowMessage("Unexpected error");
    }
}

void TKorbCalcForm::RunCommand(Command command) {
    Run([this, command] { engine_->Run(command); });
}

// ---- start-up and shut-down ---------------------------------------------------------------------------

void TKorbCalcForm::StartUp() {
    show();
    Run([this] { engine_->FormShow(); });
    FocusEnterButtonNow();

    // The other windows, in their fixed order.
    aboutBox_ = new TAboutBox(this);
    stackForm_ = new TStackForm(*this, *stackModel_);
    stackForm_->StartUp();
    errWindow_ = new TErrWindow(this);
    resetDialog_ = new TResetCalcDialog(this);
    registerForm_ = new TRegisterForm(*this);
    registerForm_->StartUp();
    // The stack and register windows are tool windows of this one, so its F1 and Ctrl+P serve them
    // too; F1 then opens the help of the window that has the focus.
    // The units selector and the preferences dialog (with its font panel) are the costliest
    // windows to build; they are built when first opened, so the main window paints sooner.
    dialogSettings_ = Prefs();
    formatForm_ = new TFormatForm(dialogSettings_, PrefHost(), this);
    readmeForm_ = new TReadmeForm(this);
}

TUnitsDlg* TKorbCalcForm::UnitsDlg() {
    if (!unitsDlg_) {
        unitsDlg_ = new TUnitsDlg(this);
        unitsDlg_->SetErrorHandler([this](const std::string& m) { ShowMessage(m); });
        AddHelpKey(unitsDlg_, UnitsHelpContext);
    }
    return unitsDlg_;
}

TPrefForm* TKorbCalcForm::PrefForm() {
    if (!prefForm_) prefForm_ = new TPrefForm(dialogSettings_, store_, PrefHost(), this);
    return prefForm_;
}

void TKorbCalcForm::SaveSession() {
    if (!mayWriteFiles || mayWriteFiles()) Run([this] { engine_->FormClose(); });
}

void TKorbCalcForm::closeEvent(QCloseEvent* event) {
    SaveSession();
    if (stackForm_) stackForm_->hide();
    if (registerForm_) registerForm_->hide();
    event->accept();
    emit closed();
}

void TKorbCalcForm::paintEvent(QPaintEvent* event) {
    QMainWindow::paintEvent(event);
    if (!firstPaintReported_) {
        firstPaintReported_ = true;
        emit firstPainted();
    }
}

// ---- window commands ---------------------------------------------------------------------------------

// Hides a visible tool window, storing its position, or shows it; its menu item and toggle button
// follow.
void TKorbCalcForm::ToggleToolWindow(QWidget* window, QAction* item, QToolButton* button,
                                     WindowPos Settings::*pos, const std::function<void()>& place,
                                     const std::function<void()>& refresh) {
    if (!window) return;
    const bool show = !window->isVisible();
    if (show) {
        place();
        window->show();
    } else {
        Settings settings = Prefs();
        settings.*pos = {window->pos().x(), window->pos().y()};
        engine_->ApplySettings(settings);
        window->hide();
    }
    item->setChecked(show);
    button->setChecked(show);
    if (show) {
        refresh();
        FocusMainWindow();
    }
}

void TKorbCalcForm::ShowStack1Click() {
    ToggleToolWindow(
        stackForm_, items_.showStack, toggles_.showStack, &Settings::StackPos,
        [this] { stackForm_->PlaceForShow(); }, [this] { Run([this] { engine_->RefreshViews(); }); });
}

void TKorbCalcForm::ShowRegisters1Click() {
    ToggleToolWindow(
        registerForm_, items_.showRegisters, toggles_.showRegisters, &Settings::RegPos,
        [this] { registerForm_->PlaceForShow(); }, [this] { registerForm_->Refresh(); });
}

void TKorbCalcForm::ResetCalculator1Click() {
    bool yes = false;
    if (resetConfirmHook)
        yes = resetConfirmHook();
    else if (resetDialog_)
        yes = resetDialog_->Ask();
    if (yes) RunCommand(Command::Reset);
    FocusEnterButtonNow();
}

void TKorbCalcForm::About1Click() {
    if (aboutBox_) aboutBox_->Execute();
    FocusEnterButtonNow();
}

void TKorbCalcForm::ViewReadme1Click() {
    if (readmeForm_) readmeForm_->exec();
    FocusEnterButtonNow();
}

void TKorbCalcForm::ApplyStoredFont() {
    const DisplayFont stored = ReadDisplayFont(store_);
    ApplyDisplayFont(stored.font, stored.color);
}

void TKorbCalcForm::ApplyDisplayFont(const QFont& font, const QColor& color) {
    display_->SetBaseFont(font);
    displayColour_ = color;
    ApplyThemeColours();
}

void TKorbCalcForm::ApplyThemeColours() {
    // Each widget sets only its one role; the others follow the application's palette.
    auto setRole = [](QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
        QPalette own;
        own.setResolveMask(0);
        own.setColor(role, colour);
        widget->setPalette(own);
    };
    const QPalette app = QApplication::palette();
    setRole(display_, QPalette::Text,
            ReadableOn(displayColour_, app.color(QPalette::Base), app.color(QPalette::Text)));
    const QColor blue = AccentBlue(app);
    setRole(secondFBtn_, QPalette::ButtonText, blue);
    for (TImage* image : secondImages_) setRole(image, QPalette::WindowText, blue);
}

void TKorbCalcForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange && display_) ApplyThemeColours();
}

void TKorbCalcForm::SetDarkTheme(bool dark) {
    ApplyTheme(dark, lightLook_);
    items_.darkTheme->setChecked(dark);
    StoreDarkTheme(store_, dark);
    ApplyThemeColours();
}

void TKorbCalcForm::CopyFullPrecisionClick() {
    Run([this] { SetClipboardText(engine_->DisplayedFullText()); });
}

void TKorbCalcForm::FontClick() {
    PrefForm()->FontBtnClick();
    FocusEnterButtonNow();
}

// ---- help ----------------------------------------------------------------------------------------------

int TKorbCalcForm::HelpContextOfFocus() const {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return KeypadHelpContext;
    if (focus->window() != this) {
        const QVariant own = focus->window()->property(kHelpContextProperty);
        return own.isValid() ? own.toInt() : KeypadHelpContext;
    }
    // Buttons, the display and page controls carry their own context; anything else gets 1.
    if (qobject_cast<QPushButton*>(focus) || qobject_cast<QTextEdit*>(focus) ||
        qobject_cast<QTabWidget*>(focus))
        return focus->property(kHelpContextProperty).toInt();
    return OtherHelpContext;
}

void TKorbCalcForm::HelpFileClick() {
    ShowHelp(HelpContextOfFocus());
}
void TKorbCalcForm::Contents1Click() {
    ShowHelp(HelpContentsTopic);
}
void TKorbCalcForm::KeywordSearch1Click() {
    ShowHelp(HelpSearch);
}

// ---- the view -----------------------------------------------------------------------------------------

std::string TKorbCalcForm::FormatForDisplay(const std::string& text) const {
    return ::FormatForDisplay(text, NotationFromInt(Prefs().FractNotation), Prefs().DecimalPlaces);
}

std::string TKorbCalcForm::DisplayText() const {
    return display_->toPlainText().toStdString();
}

void TKorbCalcForm::SetDisplayText(const std::string& text) {
    display_->setPlainText(QString::fromStdString(text));
    // The caret goes to the end, where typing continues the entry.
    display_->moveCursor(QTextCursor::End);
    display_->FitText();
}

void TKorbCalcForm::SelectAllDisplay() {
    display_->selectAll();
}

void TKorbCalcForm::ShowError(const std::string& message) {
    if (errorHook)
        errorHook(message);
    else if (errWindow_)
        errWindow_->ShowError(message);
    else
        QMessageBox::warning(this, "ERROR!", QString::fromStdString(message));
}

void TKorbCalcForm::ShowMessage(const std::string& message) {
    if (messageHook)
        messageHook(message);
    else
        QMessageBox::information(isVisible() ? this : nullptr, QApplication::applicationName(),
                                 QString::fromStdString(message));
}

std::optional<std::string> TKorbCalcForm::RunUnitsSelector(const std::string& quantityText) {
    if (unitsSelectorHook) return unitsSelectorHook(quantityText);
    return UnitsDlg()->Run(quantityText);
}

void TKorbCalcForm::FocusEnterButton() {
    FocusEnterButtonNow();
}

void TKorbCalcForm::FocusMainWindow() {
    activateWindow();
    FocusEnterButtonNow();
}

void TKorbCalcForm::SetEditingIndicator(bool entered) {
    indicators_.notEditing->setVisible(entered);
    indicators_.editing->setVisible(!entered);
}

void TKorbCalcForm::SetUnitsOnNextLine(bool visible) {
    // Lit for a text of two lines, and when the display put a long value's units on its second line.
    engineUnitsDown_ = visible;
    indicators_.unitsDown->setVisible(visible || display_->UnitsOnNextLine());
}

void TKorbCalcForm::SetSecondFunctionIndicator(bool on) {
    indicators_.secondFunction->setVisible(on);
    items_.secondFunction->setChecked(on);
    secondFBtn_->setChecked(on);
}

void TKorbCalcForm::SetUnitSystemState(bool si, bool enabled) {
    toggles_.si->setChecked(si);
    toggles_.us->setChecked(!si);
    items_.si->setChecked(si);
    items_.us->setChecked(!si);
    for (QToolButton* b : {toggles_.si, toggles_.us}) b->setEnabled(enabled);
    for (QAction* a : {items_.si, items_.us}) a->setEnabled(enabled);
}

void TKorbCalcForm::SetAutoConvertState(bool on) {
    toggles_.autoConvert->setChecked(on);
    items_.autoConvert->setChecked(on);
}

void TKorbCalcForm::SetCalcModeState(bool calcMode) {
    items_.calculator->setChecked(calcMode);
    items_.freeForm->setChecked(!calcMode);
    toggles_.calcMode->setChecked(calcMode);
    toggles_.freeForm->setChecked(!calcMode);
}

void TKorbCalcForm::EntriesInserted(int first, int count) {
    if (listsFollowEngine_ && stackModel_) stackModel_->EntriesInserted(first, count);
}

void TKorbCalcForm::EntriesRemoved(int first, int count) {
    if (listsFollowEngine_ && stackModel_) stackModel_->EntriesRemoved(first, count);
}

void TKorbCalcForm::EntriesChanged(int first, int count) {
    if (listsFollowEngine_ && stackModel_) stackModel_->EntriesChanged(first, count);
}

void TKorbCalcForm::EntriesReset() {
    if (listsFollowEngine_ && stackModel_) stackModel_->EntriesReset();
}

void TKorbCalcForm::RegistersChanged() {
    if (listsFollowEngine_ && registerForm_ && registerForm_->isVisible()) registerForm_->Refresh();
}

void TKorbCalcForm::ViewsRefreshed() {
    RegistersChanged(); // the register window shows the registers in the current format
}

std::optional<WindowPos> TKorbCalcForm::WindowPlace(CalcWindow window) const {
    const QWidget* w = window == CalcWindow::Main    ? static_cast<const QWidget*>(this)
                       : window == CalcWindow::Stack ? static_cast<const QWidget*>(stackForm_)
                                                     : static_cast<const QWidget*>(registerForm_);
    if (!w) return std::nullopt;
    return WindowPos{w->pos().x(), w->pos().y()};
}

int TKorbCalcForm::MainWindowWidth() const {
    return frameGeometry().width();
}

void TKorbCalcForm::MoveMainWindow(WindowPos place) {
    MoveOntoScreen(this, place.x, place.y);
}

std::string TKorbCalcForm::ClipboardText() const {
    return QApplication::clipboard()->text().toStdString();
}

void TKorbCalcForm::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
}

// ---- preferences, number format and help (wired to their windows) -----------------------------------

void TKorbCalcForm::HandSettingsToEngine() {
    engine_->ApplySettings(dialogSettings_);
}

PrefDialogHost TKorbCalcForm::PrefHost() {
    PrefDialogHost host;
    host.showStackTop = [this] {
        HandSettingsToEngine();
        Run([this] { engine_->ShowStackTop(); });
    };
    host.entered = [this] { return engine_->State().Entered; };
    host.refreshLists = [this] {
        HandSettingsToEngine();
        Run([this] { engine_->UpdateAllLists(); });
        if (registerForm_ && registerForm_->isVisible()) registerForm_->Refresh();
    };
    host.writePrefs = [this] {
        HandSettingsToEngine();
        Run([this] { engine_->WritePrefs(); });
    };
    host.applyUnitSystem = [this](bool si) {
        RunCommand(si ? Command::UnitSystemSI : Command::UnitSystemUS);
    };
    host.applyAutoConvert = [this](bool on) { Run([&] { engine_->AutoConvertBtnClick(on); }); };
    host.setWorkingFormat = [this](int f) { engine_->SetWorkingFormat(f); };
    host.setWorkingDigits = [this](int d) { engine_->SetWorkingDigits(d); };
    host.mainPos = [this] { return WindowPos{pos().x(), pos().y()}; };
    host.stackWindowPos = [this] { return WindowPos{stackForm_->pos().x(), stackForm_->pos().y()}; };
    host.registerWindowPos = [this] { return WindowPos{registerForm_->pos().x(), registerForm_->pos().y()}; };
    host.applyDisplayFont = [this](const QFont& font, const QColor& color) { ApplyDisplayFont(font, color); };
    // A pick starts from no units, on the page of the unit it replaces.
    host.pickUnit = [this](const std::string& unitText) {
        TUnitsDlg* selector = UnitsDlg();
        if (const int page = selector->PageForUnits(unitText); page >= 0)
            selector->SelectPage(selector->PageCaptions().at(page));
        return selector->Run("1 ");
    };
    return host;
}

void TKorbCalcForm::Preferences1Click() {
    dialogSettings_ = Prefs();
    PrefForm()->exec();
    HandSettingsToEngine();
    FocusEnterButtonNow();
}

void TKorbCalcForm::FormatPrecision1Click() {
    if (formatForm_) {
        dialogSettings_ = Prefs();
        formatForm_->exec();
        HandSettingsToEngine();
    }
    FocusEnterButtonNow();
}
void TKorbCalcForm::ShowHelp(int context) {
    if (helpHook) {
        helpHook(context);
        return;
    }
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    // A modal dialog blocks every window but its own: help asked for beside one becomes the
    // dialog's window for the time, so that it can be read and used.
    QWidget* owner = QApplication::activeModalWidget();
    if (!owner || owner == helpWindow_) owner = this;
    if (helpWindow_->parentWidget() != owner) helpWindow_->setParent(owner, helpWindow_->windowFlags());
    if (context == HelpContentsTopic)
        helpWindow_->ShowTopic("Contents");
    else if (context == HelpSearch)
        helpWindow_->ShowSearch();
    else
        helpWindow_->ShowContext(context);
    helpWindow_->show();
    helpWindow_->raise();
    helpWindow_->activateWindow();
}

void TKorbCalcForm::AddHelpKey(QWidget* window, int context) {
    auto* help = new QAction(window);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    connect(help, &QAction::triggered, this, [this, context] { ShowHelp(context); });
    window->addAction(help);
}
