// Keeps the window's session from being lost or from replacing another program's: it holds the
// folder's lock (and says plainly when another program has it), asks before saving over files
// another program holds, and saves as at a normal close when the program is asked to end by a
// signal (SIGTERM, SIGHUP) or by the ending desktop session.
#pragma once

#include "storage/FolderLock.h"

class TKorbCalcForm;

class SessionGuard {
public:
    // Takes the folder's lock: made before the window loads its files.
    SessionGuard();
    SessionGuard(const SessionGuard&) = delete;
    SessionGuard& operator=(const SessionGuard&) = delete;

    // Connects to the started window: tells when another program holds the folder, decides what
    // the window may save, and handles the signals and the end of the session.
    void Watch(TKorbCalcForm& form);
    // The window has started and loaded its files: from now on an end signal saves them.
    void Started() { started_ = true; }

private:
    bool MayWriteFiles(TKorbCalcForm& form);

    FolderLock lock_;
    FolderLock::State state_;
    bool unattended_ = false; // nobody to ask: a signal or the end of the session
    bool started_ = false;
};
