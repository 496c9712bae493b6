// Runs a program with its standard streams on files, in a folder of the caller's, and waits for it:
// fork and exec on POSIX systems, CreateProcess on Windows, with no shell (and so no quoting) between.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/win32.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#endif

namespace testsupport {

struct ProgramRun {
    std::filesystem::path program;
    std::vector<std::string> args;
    std::filesystem::path dir;                            // working directory
    std::vector<std::pair<std::string, std::string>> env; // set for the program only
    std::filesystem::path in, out;
    std::filesystem::path err; // empty: into the same file as out
};

#ifndef _WIN32

inline unsigned long ProcessId() {
    return static_cast<unsigned long>(::getpid());
}

// The exit status, or -1 when the program did not start or did not end by itself.
// why: the reason when the program did not run or end by itself (status -1).
inline int RunProgram(const ProgramRun& run, std::string* why = nullptr) {
    if (why) why->clear();
    std::vector<std::string> words{run.program.string()};
    words.insert(words.end(), run.args.begin(), run.args.end());
    std::vector<char*> argv;
    for (auto& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        if (why) *why = "fork failed";
        return -1;
    }
    if (pid == 0) {
        if (::chdir(run.dir.c_str()) != 0) ::_exit(127);
        for (const auto& [name, value] : run.env) ::setenv(name.c_str(), value.c_str(), 1);
        const int in = ::open(run.in.c_str(), O_RDONLY);
        const int out = ::open(run.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = run.err.empty() ? out : ::open(run.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) ::_exit(127);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) {
            if (why) *why = "waitpid failed";
            return -1;
        }
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (why) *why = "ended by signal " + std::to_string(WTERMSIG(status));
    return -1;
}

#else

inline unsigned long ProcessId() {
    return ::GetCurrentProcessId();
}

inline std::wstring Widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// One argument as the C runtime's command-line parser takes it apart again.
inline std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t ch : arg) {
        if (ch == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes double only before a quote.
        quoted.append(ch == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += ch;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L'"';
}

inline HANDLE OpenInherited(const std::filesystem::path& file, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(file.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

// why: the reason when the program did not run (status -1).
inline int RunProgram(const ProgramRun& run, std::string* why = nullptr) {
    std::string reason;
    const std::filesystem::path program = std::filesystem::absolute(run.program);
    std::wstring line = QuoteArgument(program.wstring());
    for (const auto& a : run.args) line += L" " + QuoteArgument(Widen(a));
    // The child takes a copy of this environment; the old values come back afterwards.
    std::vector<std::pair<std::wstring, std::wstring>> saved;
    for (const auto& [name, value] : run.env) {
        const std::wstring wname = Widen(name);
        wchar_t old[32768];
        const DWORD n = ::GetEnvironmentVariableW(wname.c_str(), old, 32768);
        saved.emplace_back(wname, n > 0 && n < 32768 ? std::wstring(old, n) : std::wstring());
        ::SetEnvironmentVariableW(wname.c_str(), Widen(value).c_str());
    }
    HANDLE in = OpenInherited(run.in, false);
    HANDLE out = OpenInherited(run.out, true);
    HANDLE err = run.err.empty() ? out : OpenInherited(run.err, true);
    int status = -1;
    if (in == INVALID_HANDLE_VALUE || out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
        reason = "a standard stream's file does not open: error " + std::to_string(::GetLastError());
    } else {
        STARTUPINFOW start{};
        start.cb = sizeof start;
        start.dwFlags = STARTF_USESTDHANDLES;
        start.hStdInput = in;
        start.hStdOutput = out;
        start.hStdError = err;
        PROCESS_INFORMATION process{};
        if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                             run.dir.c_str(), &start, &process)) {
            ::WaitForSingleObject(process.hProcess, INFINITE);
            DWORD code = 0;
            if (::GetExitCodeProcess(process.hProcess, &code)) status = static_cast<int>(code);
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        } else {
            reason = "CreateProcessW: error " + std::to_string(::GetLastError());
        }
    }
    for (HANDLE h : {in, out, err == out ? INVALID_HANDLE_VALUE : err})
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    for (const auto& [name, value] : saved)
        ::SetEnvironmentVariableW(name.c_str(), value.empty() ? nullptr : value.c_str());
    if (why) *why = reason;
    return status;
}

#endif

} // namespace testsupport
