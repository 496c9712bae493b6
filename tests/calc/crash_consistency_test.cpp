// A child process saves a large stack over and over and is killed at random moments. After every
// kill each file must be the complete old or the complete new version, and the next start must
// load it without a word.
#include "calc/session.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include "support/win32.h"
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const Files[] = {"Meridot.ini", "SaveStck.dat", "SaveRegs.dat"};
constexpr int Entries = 1500; // about 40 KB of stack file
// Sanitizers make every step several times slower.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr auto TimeBound = std::chrono::seconds(90);
#else
constexpr auto TimeBound = std::chrono::seconds(30);
#endif

// A session holding a large stack and full registers, all derived from seed.
void Fill(Session& s, int seed) {
    s.Start();
    for (int i = 0; i < Entries; ++i)
        s.Push(std::to_string(seed * 10000 + i) + ".25 " + (i % 2 ? "ft" : "kg*m/sec^2"));
    for (int r = 0; r < StackCalc::RegisterCount; ++r)
        s.SetRegister(std::to_string(seed + r) + ".000000000000000 m", r); // full texts
}

std::array<std::string, 3> Snapshot() {
    std::array<std::string, 3> out;
    for (size_t i = 0; i < 3; ++i) out[i] = ReadBytes(Files[i]);
    return out;
}

#ifdef _WIN32
// Windows has no fork: the saving process is this test program again, running SaverChild.
constexpr int Trials = 12; // each starts a process: far slower than a fork
constexpr auto TimeLimit = std::chrono::seconds(150);
const char* const Ready = "saver.ready";

// Started by the test below in a process of its own: makes the same two sessions, says it is ready
// and saves both over and over in its current directory until it is killed.
TEST(CrashConsistency, SaverChild) {
    const char* parentId = std::getenv("MERIDOT_CRASH_SAVER"); // the test that will kill this process
    if (!parentId) GTEST_SKIP() << "runs only as the saving child process";
    const HANDLE parent = ::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(std::atol(parentId)));
    ASSERT_TRUE(parent);
    Session a, b;
    {
        WorkingDir elsewhere;
        WriteBytes("Meridot.ini", GoodIni());
        Fill(a, 1);
        Fill(b, 2);
        b.Close();
        a.Close();
    }
    WriteBytes(Ready, "");
    while (::WaitForSingleObject(parent, 0) == WAIT_TIMEOUT) { // never outlives a failed test
        b.Close();
        a.Close();
    }
}

using Saver = HANDLE;

// Starts the saving process in the current directory and waits until it saves.
Saver StartSaver(Session&, Session&) {
    wchar_t program[MAX_PATH];
    if (!::GetModuleFileNameW(nullptr, program, MAX_PATH)) return nullptr;
    std::wstring command = L"\"" + std::wstring(program) + L"\" --gtest_filter=CrashConsistency.SaverChild";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::error_code ec;
    fs::remove(Ready, ec);
    ::SetEnvironmentVariableW(L"MERIDOT_CRASH_SAVER", std::to_wstring(::GetCurrentProcessId()).c_str());
    const bool started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                                          nullptr, nullptr, &startup, &process);
    ::SetEnvironmentVariableW(L"MERIDOT_CRASH_SAVER", nullptr);
    if (!started) return nullptr;
    ::CloseHandle(process.hThread);
    const auto giveUp = Clock::now() + std::chrono::seconds(30);
    while (!fs::exists(Ready) && Clock::now() < giveUp &&
           ::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return process.hProcess;
}

bool KillSaver(Saver saver) {
    const bool killed = ::TerminateProcess(saver, 9) && ::WaitForSingleObject(saver, 30000) == WAIT_OBJECT_0;
    ::CloseHandle(saver);
    return killed;
}
#else
constexpr int Trials = 200;
constexpr auto TimeLimit = TimeBound;

using Saver = pid_t;

Saver StartSaver(Session& a, Session& b) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        for (;;) {
            b.Close();
            a.Close();
        }
    }
    return child > 0 ? child : 0;
}

bool KillSaver(Saver child) {
    ::kill(child, SIGKILL);
    int status = 0;
    return ::waitpid(child, &status, 0) == child;
}
#endif

TEST(CrashConsistency, KilledSavesLeaveTheOldOrTheNewFile) {
    // In memory where the system allows: a killed process loses nothing the kernel holds, so a disk
    // would only slow the saves down.
    WorkingDir dir(fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path());
    WriteBytes("Meridot.ini", GoodIni());
    Session a, b;
    Fill(a, 1);
    Fill(b, 2);
    // Each session saves once before the versions are taken, so both count their files as their own.
    b.Close();
    a.Close();
    const auto versionA = Snapshot();
    const auto startCycle = Clock::now();
    b.Close();
    const auto versionB = Snapshot();
    a.Close();
    const auto cycle = Clock::now() - startCycle;
    for (size_t i = 0; i < 3; ++i) ASSERT_EQ(Snapshot()[i], versionA[i]);
    ASSERT_NE(versionA[1], versionB[1]);

    std::mt19937 random(7);
    const auto cycleMicros = std::chrono::duration_cast<std::chrono::microseconds>(cycle).count();
    std::uniform_int_distribution<long> delay(0, std::max<long>(cycleMicros, 1000));
    const auto deadline = Clock::now() + TimeLimit;
    int trials = 0, sawA = 0, sawB = 0;
    std::set<int> started;
    for (; trials < Trials && Clock::now() < deadline; ++trials) {
        const Saver saver = StartSaver(a, b);
        ASSERT_TRUE(saver);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_TRUE(KillSaver(saver));

        const auto now = Snapshot();
        for (size_t i = 0; i < 3; ++i)
            ASSERT_TRUE(now[i] == versionA[i] || now[i] == versionB[i])
                << Files[i] << " is neither version after trial " << trials << " (" << now[i].size()
                << " bytes)";
        (now[1] == versionA[1] ? sawA : sawB)++;
        // A start depends only on the bytes of the three files: each mix of versions is started
        // once, and every 25th trial again.
        const int mix = (now[0] == versionA[0]) | (now[1] == versionA[1]) << 1 | (now[2] == versionA[2]) << 2;
        if (started.insert(mix).second || trials % 25 == 0) {
            Session next;
            next.Start();
            ASSERT_TRUE(next.startMessages.empty() && next.startErrors.empty()) << "trial " << trials;
            ASSERT_EQ(next.Stack().FPStack(), (now[1] == versionA[1] ? a : b).Stack().FPStack());
            ASSERT_EQ(next.Stack().CopyRegisters(), (now[2] == versionA[2] ? a : b).Stack().CopyRegisters());
        }
    }
    EXPECT_EQ(trials, Trials) << "ran out of time";
    std::cout << trials << " kills within a save cycle of " << cycleMicros / 1000 << " ms: " << sawA
              << " left the first version, " << sawB << " the second\n";

    // The next save clears away what the killed saves left.
    a.Close();
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

} // namespace
