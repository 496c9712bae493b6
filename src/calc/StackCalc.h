// The operand stack and the ten storage registers. Each stack entry keeps its quantity beside the
// full text and the display text made from it (StackEntry).
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "calc/CalcView.h"
#include "calc/StackEntry.h"
#include "storage/FolderLock.h"

class StackCalc {
public:
    static constexpr int RegisterCount = 10;
    using Registers = std::array<std::string, RegisterCount>;

    // The notation and decimal places are read at each push, so they follow the settings. The
    // changes of the lists are told to the view until another observer is set.
    StackCalc(CalcView& view, const int& fractNotation, const int& decimalPlaces);
    void SetObserver(CalcObserver& observer) { observer_ = &observer; }

    // Reads the text and pushes its value.
    bool Push(const std::string& text);
    // Pushes a value that is as its text would read (from SetText or SetQuantity).
    void PushValue(const TNumberUnits& value);
    std::string Pop();
    std::string Peek();
    // The entry-level forms the operations use: no text is made or read on the way.
    StackEntry PopEntry();                 // on an empty stack "Stack empty" and an entry of 0
    TNumberUnits TopValue();               // on an empty stack "Stack empty!" and 0
    void PutBack(const StackEntry& entry); // as Push of the entry's full text
    int Depth() const { return TopIndex + 1; }
    bool IsEmpty() const { return TopIndex < 0; }
    // Moves the depth by amount, never past the lists it counts; the new depth.
    int AdjustDepth(int amount);
    void StoreTop(int index);
    void SetRegister(const std::string& text, int index);
    void RecallRegister(int index);
    Registers CopyRegisters() const { return registers_; }
    void ClearAll();
    void RefreshViews();

    // Entries: index 0 is the bottom entry, Count() - 1 the top (X).
    int Count() const { return static_cast<int>(entries_.size()); }
    const StackEntry& Entry(int index) const { return entries_[static_cast<size_t>(index)]; }
    const std::string& FullText(int index) const { return Entry(index).FullText(); }
    const std::string& DisplayText(int index) const { return Entry(index).DisplayText(); }
    // The view's display shows the top entry, X, in the current notation and places (nothing
    // happens on an empty stack).
    void ShowTop() const;
    // Copies of all full texts and all display texts, bottom first.
    std::vector<std::string> FPStack() const;
    std::vector<std::string> StackListBox() const;
    int Selected() const { return selected_; }
    void SetSelected(int index) { selected_ = index; }
    const std::string& Register(int index) const { return registers_.at(static_cast<size_t>(index)); }
    // Display text of a register in the current notation and decimal places.
    std::string RegisterDisplayText(int index) const;

    // Window-side list commands.
    void SwapXY();             // with two or more entries, X and Y change places
    void MoveToTop(int index); // the entry at index becomes X
    void ClearEntries();       // empties both lists and the depth (registers untouched)
    void UpdateAll();          // re-renders every display text from its full text

    // Files in the current directory (or as named). Loading reports a missing or unreadable file
    // through view.ShowMessage; saving replaces the file atomically and reports a failure the same way.
    // A file this run did not load in full (not loaded, unreadable, lines dropped) is kept as
    // "<name>.bak" when it is replaced, and the message box says so.
    bool LoadStackFile(const std::string& fileName = "SaveStck.dat");
    bool LoadRegisterFile(const std::string& fileName = "SaveRegs.dat");
    bool SaveStackFile(const std::string& fileName = "SaveStck.dat");
    bool SaveRegisterFile(const std::string& fileName = "SaveRegs.dat");

    // Change tracking for undo. Between BeginChanges and EndChanges the stack remembers the entries
    // at and above the lowest index any change reached, copied at the moment that index is first
    // reached, and the registers as they were. EndChanges hands that over as a Change to move from,
    // or nothing when the entries there and the registers are as before (a failed operation put
    // back).
    struct Change {
        std::size_t from = 0;                 // entries below it are untouched
        std::vector<StackEntry> entries;      // the entries from there up
        std::unique_ptr<Registers> registers; // the registers, when any of them changed
    };
    void BeginChanges();
    Change* EndChanges();
    // An empty buffer for the next change's entries, so that saving them allocates nothing.
    void GiveSpareEntries(std::vector<StackEntry>&& spare) {
        if (!tracking_ && pending_.entries.capacity() == 0) pending_.entries = std::move(spare);
    }
    // Puts the change's entries and registers in place and the replaced ones into the change, so
    // exchanging the same change again goes back (undo, then redo).
    void Exchange(Change& change);

private:
    int TopIndex = -1; // index of the top entry in the lists; -1 when the stack is empty

    bool ValidRegister(int index);
    // The one place entries are added.
    void Append(const TNumberUnits& value);
    StackEntry::Units SharedUnits(const TNumberUnits& value);
    void NotifyEntries(void (CalcObserver::*what)(int, int), int first, int count);
    void NotifyReset();
    void NotifyRegisters();
    void SetupQuantity(TNumberUnits& quantity) const;
    // Entries at index and above are about to change, move or go.
    void Touch(std::size_t index);
    // A register is about to change: the first time in a change, all ten are saved as they are.
    void TouchRegisters();

    CalcView& view_;
    CalcObserver* observer_;
    const int& notation_;
    const int& decimalPlaces_;
    std::deque<StackEntry> entries_; // grows without moving its entries
    int selected_ = -1;
    Registers registers_;
    // The value of a register that came from the stack, so that recalling it reads no text.
    std::array<std::optional<TNumberUnits>, RegisterCount> registerValues_;
    // The units entries share, by unit text; forgotten all at once when too many (old entries keep
    // theirs).
    static constexpr std::size_t MaxSharedUnits = 1024;
    std::unordered_map<std::string, StackEntry::Units> unitsByText_;
    // The units last found for each of a few hash values of their text, looked at before the map.
    std::array<StackEntry::Units, 64> recentUnits_;
    bool tracking_ = false;
    Change pending_;       // what BeginChanges has saved so far
    bool loading_ = false; // observers are told once, after the whole file
    // The file on disk was loaded in full or written by this run: replacing it loses nothing.
    bool stackFileKnown_ = false;
    bool registerFileKnown_ = false;
    // The files as this run loaded or saved them, to keep a copy another program wrote since.
    LoadedFile stackFile_;
    LoadedFile registerFile_;
};

// At close: only when savePrefs is on, the preferences (writePrefs, which reports its own failure),
// then the stack file, then the register file. False when any of the three could not be written
// (each failure is reported); true otherwise, also when savePrefs is off and nothing was written.
bool SaveAtClose(bool savePrefs, const std::function<bool()>& writePrefs, StackCalc& calc,
                 const std::string& stackFile = "SaveStck.dat",
                 const std::string& registerFile = "SaveRegs.dat");
