// The preferences file "Meridot.ini" and the stored settings.
#pragma once

#include <functional>
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

// What the preferences code needs from the windows (positions, size, the display refresh)
// and from the engine-wide flags. Every member may be left empty.
struct PrefsHost {
    std::function<WindowPos()> mainPos;           // current main window left, top
    std::function<int()> mainWidth;               // main window width
    std::function<void(WindowPos)> moveMain;      // move the main window
    std::function<WindowPos()> stackWindowPos;    // current stack window left, top
    std::function<WindowPos()> registerWindowPos; // current register window left, top
    std::function<void()> showStackTop;           // after "Decimal_Places" is read
    std::function<void(int)> setWorkingFormat;    // after "Fract_Notation" is read
    std::function<int()> calcMode;                // written to the store by WritePrefs
    std::function<void(const std::string&)> messageBox;
    // A file kept as "<name>.bak", and a file that could not be loaded; messageBox when empty.
    std::function<void(const std::string&)> note;
    std::function<void(const std::string&)> warning;
    std::function<void(const std::string&)> reportWriteError; // a file could not be written
};

class Prefs {
public:
    Prefs(Settings& settings, ValueStore& store, PrefsHost host, std::string fileName = "Meridot.ini");

    // A file that cannot be read, or in which not one known key is found, gives the message, the
    // no-file defaults and a new file; false then.
    bool LoadPrefs();
    // False when the file could not be written (reported through the host). A file this run did
    // not read in full is first kept as "<name>.bak", which the message box then reports.
    bool WritePrefs();
    bool ParsePrefLine(const std::string& line); // false for a line without a known key
    static bool PrefIsTrue(const std::string& line);

    // The lines WritePrefs writes, without line ends.
    std::vector<std::string> BuildLines() const;
    void ApplyNoFileDefaults();

    const Settings& Fields() const { return s_; }
    const std::string& FileName() const { return fileName_; }

private:
    Settings& s_;
    ValueStore& store_;
    PrefsHost host_;
    std::string fileName_;
    bool fileKnown_ = false; // the file on disk was read in full or written by this run
    LoadedFile loaded_;      // the file as this run loaded or saved it
};
