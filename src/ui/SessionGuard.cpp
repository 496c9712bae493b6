#include "ui/SessionGuard.h"

#include "ui/KorbCalcMainForm.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <tuple>
#include <utility>

#ifndef _WIN32
#include <QSocketNotifier>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

void PrintMessage(const std::string& message) {
    std::fprintf(stderr, "Korbcalc: %s\n", message.c_str());
}

QString FolderName() {
    return QDir::toNativeSeparators(QDir::currentPath());
}

#ifndef _WIN32
// The signal handler only writes a byte; the event loop reads it and closes the window there.
int signalWriteFd = -1;

void OnEndSignal(int signal) {
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(signalWriteFd, &byte, 1);
}

// SIGTERM and SIGHUP (logout, shutdown, a closed terminal) close the window as the user would.
void CloseOnEndSignals(TKorbCalcForm& form, const std::function<void(int)>& close) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return;
    ::fcntl(fds[0], F_SETFL, O_NONBLOCK);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    signalWriteFd = fds[0];
    auto* notifier = new QSocketNotifier(fds[1], QSocketNotifier::Read, &form);
    QObject::connect(notifier, &QSocketNotifier::activated, &form, [notifier, close] {
        char bytes[16];
        int signal = 0;
        for (ssize_t n; (n = ::read(static_cast<int>(notifier->socket()), bytes, sizeof bytes)) > 0;)
            signal = bytes[n - 1];
        if (signal != 0) close(signal);
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}
#endif

} // namespace

SessionGuard::SessionGuard() : state_(lock_.Acquire()) {}

void SessionGuard::Watch(TKorbCalcForm& form) {
    form.mayWriteFiles = [this, &form] { return MayWriteFiles(form); };
    if (state_ == FolderLock::State::HeldElsewhere)
        QTimer::singleShot(0, &form, [&form] {
            form.ShowMessage("Another Meridot program is using the files in " + FolderName().toStdString() +
                             ". This window will not save its stack, registers and settings when it closes "
                             "unless you agree then.");
        });
#ifndef _WIN32
    CloseOnEndSignals(form, [this, &form](int signal) {
        if (!started_) {
            // The files are not all loaded yet and nothing has been done: ending as the signal
            // asks loses nothing, where a save now could replace a file not yet read.
            std::signal(signal, SIG_DFL);
            std::raise(signal);
            return;
        }
        unattended_ = true;
        // Nobody may be there to click a message away: what the save says goes to the error output.
        form.messageHook = form.errorHook = PrintMessage;
        if (form.isVisible()) {
            form.close(); // saves, as a close by the user does
        } else {
            form.SaveSession();
            QApplication::quit();
        }
    });
#endif
    // The desktop session is ending (on Windows the end-of-session messages): save now, as the
    // program may be ended without a close.
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &form, [this, &form](QSessionManager&) {
        if (!started_) return;
        unattended_ = true;
        const auto hooks = std::make_pair(form.messageHook, form.errorHook);
        form.messageHook = form.errorHook = PrintMessage;
        form.SaveSession();
        std::tie(form.messageHook, form.errorHook) = hooks;
        unattended_ = false;
    });
#endif
}

bool SessionGuard::MayWriteFiles(TKorbCalcForm& form) {
    // Held now (the other program may have ended), or no lock can be made here at all.
    if (lock_.Acquire() != FolderLock::State::HeldElsewhere) return true;
    const std::string why =
        "Another Meridot program is still using the files in " + FolderName().toStdString();
    if (unattended_ || form.messageHook) {
        std::fprintf(stderr, "Korbcalc: %s; this window's stack, registers and settings were not saved\n",
                     why.c_str());
        return false;
    }
    const QString question = QString::fromStdString(why) +
                             ".\n\nSave this window's stack, registers and settings over them anyway? A file "
                             "the other program saved since this window loaded it is kept as a .bak file.";
    return QMessageBox::question(&form, QApplication::applicationName(), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}
