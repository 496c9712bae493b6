// Whole runs of the calculator on the files of a private working directory: start-up as the program
// does it (preferences, then the saved stack, then the saved registers) and the close action.
#pragma once

#include "calc/engine_fixture.h"
#include "storage/SafeFile.h"
#include "support/file_scratch.h"
#include "units/NumberFormat.h"

#include <functional>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// A scratch directory that is the current directory for its lifetime.
class WorkingDir {
public:
    explicit WorkingDir(const std::filesystem::path& base = std::filesystem::temp_directory_path())
        : dir_(base), old_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir_.Path());
    }
    ~WorkingDir() { std::filesystem::current_path(old_); }
    WorkingDir(const WorkingDir&) = delete;
    WorkingDir& operator=(const WorkingDir&) = delete;
    const std::filesystem::path& Path() const { return dir_.Path(); }

private:
    ScratchDir dir_;
    std::filesystem::path old_;
};

struct Session {
    MemoryValueStore store;
    RecordingView view;
    std::unique_ptr<KorbCalc> calc;
    std::vector<std::string> startMessages, startErrors;

    // The start-up sequence; what it reported is moved into startMessages / startErrors.
    void Start() {
        calc = std::make_unique<KorbCalc>(view, store);
        calc->FormShow(true);
        calc->LoadSavedStack();
        calc->LoadSavedRegisters();
        startMessages.swap(view.messages);
        startErrors.swap(view.errors);
        view.messages.clear();
        view.errors.clear();
    }
    // The close action; gives the messages it showed.
    std::vector<std::string> Close() {
        calc->FormClose();
        return view.messages;
    }
    const StackCalc& Stack() const { return calc->Stack(); }

    // The few engine steps the tests take besides starting and closing, in one place.
    bool Push(const std::string& text) {
        const int depth = Stack().Depth();
        calc->EnterText(text);
        return Stack().Depth() == depth + 1;
    }
    void StoreTop(int index) { calc->StoreEntryInRegister(Stack().Depth() - 1, index); }
    void SetRegister(const std::string& text, int index) { calc->SetRegister(text, index); }
    const Settings& CurrentSettings() const { return calc->CurrentSettings(); }
    // The lines the preferences file gets from the current settings.
    std::vector<std::string> PrefsLines() const {
        Settings copy = CurrentSettings();
        MemoryValueStore scratch;
        return Prefs(copy, scratch, "Meridot.ini").BuildLines();
    }
};

#ifndef _WIN32
// Runs body as an ordinary user: a file with mode 000 is unreadable only then. Under root the body
// runs in a child process that has given up root and owns the current directory (and, with
// ownFiles, everything in it).
inline void AsOrdinaryUser(const std::function<void()>& body, bool ownFiles = true) {
    if (::geteuid() != 0) {
        body();
        return;
    }
    constexpr uid_t nobody = 65534;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator("."))
            if (ownFiles && ::lchown(entry.path().c_str(), nobody, nobody) != 0) ::_exit(3);
        if (::chown(".", nobody, nobody) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0) ::_exit(4);
        body();
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
}
#endif

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A preferences file with saving and both loads on, Fixed notation, 7 places.
inline std::string GoodIni(const std::string& saveStack = "true") {
    return "; Meridot engineering calculator\r\n[Startup Options]\r\nShow_Stack = false\r\n"
           "Show_Regs = false\r\nSave_Pos = true\r\nCalc_Pos = 10, 20\r\nSave_Prefs = true\r\n"
           "Save_Stack = " +
           saveStack +
           "\r\nSave_Regs = true\r\n[Other Options]\r\nFract_Notation = Fixed\r\nDecimal_Places = 7\r\n";
}

// The same text as UTF-16 with a byte-order mark, as some editors save it.
inline std::string Utf16(const std::string& text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}
