// The main window: display, keypad, indicator images, menus. It is the engine's view, owns the
// engine and the other windows, and runs the start-up and shut-down sequence.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calc/CalcView.h"
#include "calc/KorbCalc.h"
#include "ui/KorbCalcDisplay.h"
#include "ui/Theme.h"

class QAction;
class QFrame;
class QMenu;
class QPushButton;
class QToolButton;
class ValueStore;
class TStackForm;
class TRegisterForm;
class TUnitsDlg;
class TAboutBox;
class TErrWindow;
class TResetCalcDialog;
class TReadmeForm;
class TPrefForm;
class TFormatForm;
class HelpWindow;
class StackListModel;
struct PrefDialogHost;

class TKorbCalcForm : public QMainWindow, public CalcView {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 377;
    static constexpr int ClientHeight = 224;
    static constexpr int DesignLeft = 274;
    static constexpr int DesignTop = 159;

    // Builds the window, then the engine, which reads the stored values (font, mode, AutoConvert,
    // unit system).
    explicit TKorbCalcForm(ValueStore& store, QWidget* parent = nullptr);
    ~TKorbCalcForm() override;

    // Shows the window (free-form mode unless stored, display "0", preferences file read), then
    // creates the other windows in their fixed order.
    void StartUp();

    KorbCalc& Engine() { return *engine_; }
    const Settings& Prefs() const { return engine_->CurrentSettings(); }
    ValueStore& Store() { return store_; }
    std::string FormatForDisplay(const std::string& text) const;

    TDisplay* Display() const { return display_; }
    TStackForm* StackForm() const { return stackForm_; }
    StackListModel* StackModel() const { return stackModel_.get(); }
    TRegisterForm* RegisterForm() const { return registerForm_; }
    // The units selector and the preferences dialog are built when first needed.
    TUnitsDlg* UnitsDlg();
    TErrWindow* ErrWindow() const { return errWindow_; }
    TResetCalcDialog* ResetDialog() const { return resetDialog_; }
    TPrefForm* PrefForm();
    TFormatForm* FormatForm() const { return formatForm_; }
    QMenu* PopupMenu1() const { return popup_; }
    // A menu item of this window by its object name (as tests and accessibility tools know it);
    // null when there is none.
    QAction* Action(const QString& name) const;

    // Runs a handler; anything it lets out is shown in the message box.
    void Run(const std::function<void()>& handler);
    // Runs an engine command the same way.
    void RunCommand(Command command);
    // The one translation from Qt key events to the keyboard map; true when the key was used.
    bool HandleKey(QKeyEvent* event);

    // "Undo" and "Redo" items with their shortcuts on a menu; with a window, its shortcuts work
    // there too. Their enabled states follow the engine's history.
    void AddUndoRedo(QMenu* menu, QWidget* window);
    void UndoClick();
    void RedoClick();

    // Window commands.
    void ShowStack1Click();
    void ShowRegisters1Click();
    void Preferences1Click();
    void FormatPrecision1Click();
    void FontClick();
    void ResetCalculator1Click();
    void About1Click();
    void ViewReadme1Click();
    void HelpFileClick();
    void Contents1Click();
    void KeywordSearch1Click();
    void CopyFullPrecisionClick();
    // Switches between the light and the dark look and stores the choice.
    void SetDarkTheme(bool dark);
    // Help context of the focused control: 10 with none, the control's own for buttons, the
    // display and page controls, 1 for anything else.
    int HelpContextOfFocus() const;
    // Opens the help at a context, at the topic "Contents" or at the keyword search.
    static constexpr int HelpContentsTopic = -2;
    static constexpr int HelpSearch = -1;
    void ShowHelp(int context);
    // F1 in another window opens the help at that window's context.
    void AddHelpKey(QWidget* window, int context);
    void FocusEnterButtonNow();

    // Seams for modal windows; each defaults to the real window.
    std::function<void(const std::string&)> errorHook;
    std::function<void(const std::string&)> messageHook;
    std::function<std::optional<std::string>(const std::string&)> unitsSelectorHook;
    std::function<bool()> resetConfirmHook;    // true: Yes
    std::function<void(int context)> helpHook; // a help context, 0 for "Contents", -1 search
    // Asked before the files are saved; when it answers false nothing is saved (another program
    // holds the folder and the user did not agree). Unset: always saved.
    std::function<bool()> mayWriteFiles;
    // Saves what a close saves, without closing (at close, and when the desktop session ends).
    void SaveSession();

    // CalcView
    std::string DisplayText() const override;
    void SetDisplayText(const std::string& text) override;
    void SelectAllDisplay() override;
    void ShowError(const std::string& message) override;
    void ShowMessage(const std::string& message) override;
    std::optional<std::string> RunUnitsSelector(const std::string& quantityText) override;
    void FocusEnterButton() override;
    void FocusMainWindow() override;
    void SetEditingIndicator(bool entered) override;
    void SetUnitsOnNextLine(bool visible) override;
    void SetSecondFunctionIndicator(bool on) override;
    void SetUnitSystemState(bool si, bool enabled) override;
    void SetAutoConvertState(bool on) override;
    void SetCalcModeState(bool calcMode) override;
    void SetUndoState(bool canUndo, bool canRedo) override;
    std::optional<WindowPos> WindowPlace(CalcWindow window) const override;
    int MainWindowWidth() const override;
    void MoveMainWindow(WindowPos place) override;
    // The engine's lists: the stack model and the register window follow them.
    void EntriesInserted(int first, int count) override;
    void EntriesRemoved(int first, int count) override;
    void EntriesChanged(int first, int count) override;
    void EntriesReset() override;
    void RegistersChanged() override;
    void ViewsRefreshed() override;
    std::string ClipboardText() const override;
    void SetClipboardText(const std::string& text) override;

    // The display font from the stored values "FontName", "FontSize", "FontColor", "FontStyle".
    void ApplyStoredFont();
    void ApplyDisplayFont(const QFont& font, const QColor& color);

signals:
    void closed();
    void firstPainted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildDisplay(QWidget* client);
    void BuildKeypad();
    void BuildToggles();
    void BuildSecondFunctionImages();
    void BuildMenus();
    QAction* AddAction(QMenu* menu, const char* name, const char* text, const QKeySequence& key,
                       std::function<void()> handler);
    PrefDialogHost PrefHost();
    // Colours that follow the palette: the 2nd-function blue, and the display's text colour unless
    // it would vanish on the display's background.
    void ApplyThemeColours();
    // The settings dialogs edit dialogSettings_, a copy taken when they open; it goes to the engine
    // before anything the engine draws or writes, and when they close.
    void HandSettingsToEngine();
    void ToggleToolWindow(QWidget* window, QAction* item, QToolButton* button, WindowPos Settings::*pos,
                          const std::function<void()>& place, const std::function<void()>& refresh);

    ValueStore& store_;
    std::unique_ptr<KorbCalc> engine_;
    Settings dialogSettings_;
    // The stack window's list; it observes the engine, so it goes before it.
    std::unique_ptr<StackListModel> stackModel_;
    TDisplay* display_ = nullptr;
    QFrame* panel_ = nullptr;
    // The keys the window changes after building them; the others only run their commands.
    QPushButton* enterBtn_ = nullptr;
    QPushButton* secondFBtn_ = nullptr;
    QPushButton* convertStackBtn_ = nullptr;
    struct ToggleButtons {
        QToolButton* autoConvert = nullptr;
        QToolButton* si = nullptr;
        QToolButton* us = nullptr;
        QToolButton* showStack = nullptr;
        QToolButton* showRegisters = nullptr;
        QToolButton* calcMode = nullptr;
        QToolButton* freeForm = nullptr;
    } toggles_;
    // The menu items whose checks and enabled states follow the engine and the tool windows.
    struct MenuItems {
        QAction* showStack = nullptr;
        QAction* showRegisters = nullptr;
        QAction* darkTheme = nullptr;
        QAction* secondFunction = nullptr;
        QAction* calculator = nullptr;
        QAction* freeForm = nullptr;
        QAction* si = nullptr;
        QAction* us = nullptr;
        QAction* autoConvert = nullptr;
    } items_;
    std::vector<QAction*> namedActions_; // every menu item with a name, for Action()
    struct Indicators {
        TImage* editing = nullptr;
        TImage* notEditing = nullptr;
        TImage* unitsDown = nullptr;
        TImage* secondFunction = nullptr;
    } indicators_;
    std::vector<TImage*> secondImages_; // the 2nd-function names above the keys
    QMenu* popup_ = nullptr;
    std::vector<QAction*> undoActions_;
    std::vector<QAction*> redoActions_;

    TStackForm* stackForm_ = nullptr;
    TRegisterForm* registerForm_ = nullptr;
    TUnitsDlg* unitsDlg_ = nullptr;
    TAboutBox* aboutBox_ = nullptr;
    TErrWindow* errWindow_ = nullptr;
    TResetCalcDialog* resetDialog_ = nullptr;
    TPrefForm* prefForm_ = nullptr;
    TFormatForm* formatForm_ = nullptr;
    TReadmeForm* readmeForm_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    bool firstPaintReported_ = false;
    bool listsFollowEngine_ = true; // until the window starts going
    bool engineUnitsDown_ = false;
    QColor displayColour_;
    LightLook lightLook_;
};
