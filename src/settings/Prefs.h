// The preferences file "Meridot.ini" and the stored settings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "storage/FolderLock.h"

class ValueStore;

struct WindowPos {
    int x = 0;
    int y = 0;
    bool operator==(const WindowPos&) const = default;
};

// Settings fields; every one starts at zero until the file sets it.
struct Settings {
    int AngularDefault = 0;
    int CopyOperators = 0;
    int DoInlineMath = 0;
    int SwitchToFF = 0;
    int SubAsCHS = 0;
    int FractNotation = 0;
    int DecimalPlaces = 0;
    int ShowStack = 0;
    int ShowRegs = 0;
    int SavePos = 0;
    WindowPos CalcPos;
    int SaveRegPos = 0;
    WindowPos RegPos;
    int SaveStackPos = 0;
    WindowPos StackPos;
    int SavePrefs = 0;
    int SaveStack = 0;
    int SaveRegs = 0;
};

// A message the preferences code leaves for the user, in the order it arose. A warning: the file
// could not be loaded and the calculator starts without it. A note: an earlier file was kept as
// "<name>.bak". A write error: the file could not be written.
struct PrefsMessage {
    enum class Kind { Warning, Note, WriteError };
    Kind kind;
    std::string text;
    bool operator==(const PrefsMessage&) const = default;
};

// What the rest of the program tells the preferences code, as plain values taken before a load or
// a write. A window place that is not given (no such window) is written as stored.
struct PrefsContext {
    std::optional<WindowPos> mainPos;     // the main window's left, top
    std::optional<WindowPos> stackPos;    // the stack window's
    std::optional<WindowPos> registerPos; // the register window's
    int mainWidth = 0;                    // the main window's width, to place the others beside it
    std::optional<bool> calcMode;         // written to the store with the unit flags when given
};

// What a load leaves for the engine to apply, once the settings are in place.
struct PrefsLoad {
    bool fromFile = false;               // false: no usable file; the defaults were applied and written
    std::optional<WindowPos> moveMainTo; // the main window goes to the place read ("Calc_Pos")
    bool notationSet = false;            // the working quantity takes the notation of the settings
    bool showTop = false;                // "Decimal_Places" was read: the display shows the top again
    std::vector<PrefsMessage> messages;
};

// What a write leaves: whether the file was written, and what the user is told.
struct PrefsWrite {
    bool written = false;
    std::vector<PrefsMessage> messages;
};

class Prefs {
public:
    Prefs(Settings& settings, ValueStore& store, std::string fileName = "Meridot.ini");

    // Reads the file into the settings. A file that cannot be read, or in which not one known key
    // is found, gives the warning, the no-file defaults and a new file (fromFile false).
    PrefsLoad LoadPrefs(const PrefsContext& context = {});
    // Written false when the file could not be written (a write error then). A file this run did
    // not read in full is first kept as "<name>.bak", which a note then reports.
    PrefsWrite WritePrefs(const PrefsContext& context = {});
    // False for a line without a known key; what the engine must apply goes into load.
    bool ParsePrefLine(const std::string& line, PrefsLoad& load, int mainWidth = 0);
    bool ParsePrefLine(const std::string& line) {
        PrefsLoad ignored;
        return ParsePrefLine(line, ignored);
    }
    static bool PrefIsTrue(const std::string& line);

    // The lines WritePrefs writes, without line ends; the windows' places from context when their
    // positions are remembered.
    std::vector<std::string> BuildLines(const PrefsContext& context = {}) const;
    void ApplyNoFileDefaults();

    const Settings& Fields() const { return s_; }
    const std::string& FileName() const { return fileName_; }

private:
    Settings& s_;
    ValueStore& store_;
    std::string fileName_;
    bool fileKnown_ = false; // the file on disk was read in full or written by this run
    LoadedFile loaded_;      // the file as this run loaded or saved it
};
