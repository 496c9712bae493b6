// korbcalc-cli sessions that others share or cut short: programs on one folder, a reader that has
// gone, overlong input, and an entry that once overran a unit list.
#include "storage/FolderLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/text_file.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

class SessionSafety : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("korbcalc_session_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the program in the test's folder with its own value store. stdoutClosed: standard output
    // is a pipe whose reader has gone. Standard error goes to err, the output to out. Started with
    // posix_spawn, which several threads may do at once.
    Outcome Run(const std::vector<std::string>& args, const std::string& input = "",
                bool stdoutClosed = false, const std::string& tag = "") const {
        const fs::path in = dir_ / ("in" + tag), out = dir_ / ("out" + tag), err = dir_ / ("err" + tag);
        std::ofstream(in, std::ios::binary) << input;
        int gone[2] = {-1, -1};
        if (stdoutClosed && ::pipe(gone) != 0) return {};
        posix_spawn_file_actions_t files;
        posix_spawn_file_actions_init(&files);
        posix_spawn_file_actions_addchdir_np(&files, dir_.c_str());
        posix_spawn_file_actions_addopen(&files, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&files, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        if (stdoutClosed) {
            posix_spawn_file_actions_adddup2(&files, gone[1], STDOUT_FILENO);
            posix_spawn_file_actions_addclose(&files, gone[0]);
            posix_spawn_file_actions_addclose(&files, gone[1]);
        } else {
            posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                             0644);
        }
        // SIGPIPE as a shell started from a terminal leaves it, whatever this test process does.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        std::vector<std::string> env{"XDG_CONFIG_HOME=" + (dir_ / "config").string(),
                                     "HOME=" + dir_.string()};
        for (const char* keep : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (const char* value = std::getenv(keep)) env.push_back(std::string(keep) + "=" + value);
        std::vector<char*> envp;
        for (auto& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::vector<std::string> words{KORBCALC_CLI};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& w : words) argv.push_back(w.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int started = posix_spawn(&pid, KORBCALC_CLI, &files, &attributes, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&files);
        posix_spawnattr_destroy(&attributes);
        if (stdoutClosed) {
            ::close(gone[0]); // the reader is gone before anything is written
            ::close(gone[1]);
        }
        Outcome o;
        if (started != 0) return o;
        int raw = 0;
        ::waitpid(pid, &raw, 0);
        o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        o.out = ReadWholeFile(out);
        o.err = ReadWholeFile(err);
        return o;
    }

    std::vector<std::string> SavedStack() const { return TextLines(ReadWholeFile(dir_ / "SaveStck.dat")); }

    fs::path dir_;
};

const char* const Refused = "another Meridot program is using the session files in this folder";

// The reader of the answers has gone (| true, | head): the session is still saved, and the run
// reports the lost answers in its status.
TEST_F(SessionSafety, ClosedOutputStillSavesTheSession) {
    struct Case {
        const char* name;
        std::vector<std::string> entries;
        std::vector<std::string> saved;
    };
    const Case cases[] = {
        {"error_among_entries",
         {"5 m", "print", "bogus", "6 m"},
         {"5.000000000000000 m", "6.000000000000000 m"}},
        {"no_error", {"7 m", "print"}, {"7.000000000000000 m"}},
    };
    for (const auto& c : cases) {
        fs::remove(dir_ / "SaveStck.dat");
        std::vector<std::string> args{"--session"};
        args.insert(args.end(), c.entries.begin(), c.entries.end());
        const Outcome o = Run(args, "", true);
        EXPECT_EQ(o.status, 1) << c.name;
        EXPECT_NE(o.err.find("could not all be written to standard output"), std::string::npos)
            << c.name << o.err;
        EXPECT_EQ(SavedStack(), c.saved) << c.name;
    }
}

TEST_F(SessionSafety, OverlongInputLinesAreRefusedAndQuotedShort) {
    const std::string huge(3 << 20, '7'); // far beyond the cap, read in pieces
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string out;
    };
    const Case cases[] = {
        {"others_run", {}, "1.0000000 m\n2.0000000 m\n"},
        {"strict_stops", {"--strict"}, "1.0000000 m\n"},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.args, "1 m\n" + huge + "\n2 m\n");
        EXPECT_EQ(o.status, 1) << c.name;
        EXPECT_EQ(o.out, c.out) << c.name;
        EXPECT_NE(o.err.find("entry 2 \"" + std::string(80, '7') + "...\": the line is longer than"),
                  std::string::npos)
            << c.name << o.err.substr(0, 300);
        EXPECT_LT(o.err.size(), 300u) << c.name;
    }
    // A bad entry given as an argument is quoted as briefly.
    const Outcome o = Run({std::string(100000, 'q')});
    EXPECT_EQ(o.status, 1);
    EXPECT_LT(o.err.size(), 300u) << o.err.substr(0, 300);
}

// Raising to a tiny power turned seven exponents negative while seven others vanished: once a
// stack buffer overflow. The vanished units drop out; a result that needs more than seven units
// on a side fails and leaves the operands.
TEST_F(SessionSafety, PowersAndProductsStayWithinTheUnitLists) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::string out;
        int status;
    };
    const Case cases[] = {
        {"tiny_negative_power",
         {"--autoconvert", "off", "1 m^3*kg^3*A^3*V^3*J^3*lbf^3*W^3/sec*hr*in*yd*mi*Pa*psi",
          "-4.656612873077393e-10", "y^x"},
         "1.0000000 /lbf^1.4E-9*m^1.4E-9*kg^1.4E-9*J^1.4E-9*W^1.4E-9*A^1.4E-9*V^1.4E-9\n",
         0},
        {"eight_units_on_top",
         {"--autoconvert", "off", "1 m*kg*A*V*J*lbf*W", "1 sec", "*"},
         "1.0000000 lbf*m*kg*J*W*A*V\n1.0000000 sec\n",
         1},
    };
    for (const auto& c : cases) {
        const Outcome o = Run(c.args);
        EXPECT_EQ(o.status, c.status) << c.name << o.err;
        EXPECT_EQ(o.out, c.out) << c.name;
        if (c.status == 1) {
            EXPECT_NE(o.err.find("Problem with the units"), std::string::npos) << c.name << o.err;
        }
    }
}

// While another program holds the folder a session waits a little, then refuses and leaves the
// files alone; once the holder lets go, even by dying, the next session runs.
TEST_F(SessionSafety, ASessionWaitsForTheFolderThenRefuses) {
    ASSERT_EQ(Run({"--session", "1 m"}).status, 0);
    const std::string before = ReadWholeFile(dir_ / "SaveStck.dat");
    {
        FolderLock held;
        ASSERT_EQ(held.Acquire(dir_.string()), FolderLock::State::Held);
        const auto start = std::chrono::steady_clock::now();
        const Outcome o = Run({"--session", "2 m"});
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
        EXPECT_EQ(o.status, 1);
        EXPECT_NE(o.err.find(Refused), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(ReadWholeFile(dir_ / "SaveStck.dat"), before);

        // Let go while the session waits: it goes on.
        std::thread release([&held] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            held.Release();
        });
        const Outcome waited = Run({"--session", "3 m"});
        release.join();
        EXPECT_EQ(waited.status, 0) << waited.err;
    }
    EXPECT_EQ(SavedStack(), (std::vector<std::string>{"1.000000000000000 m", "3.000000000000000 m"}));

    // A holder killed outright leaves no lock behind.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        FolderLock lock;
        const char state = lock.Acquire(dir_.string()) == FolderLock::State::Held ? 'y' : 'n';
        [[maybe_unused]] const auto written = ::write(ready[1], &state, 1);
        ::pause();
        ::_exit(0);
    }
    char state = 0;
    ASSERT_EQ(::read(ready[0], &state, 1), 1);
    EXPECT_EQ(state, 'y');
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Run({"--session", "4 m"}).status, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
}

// Two loops of concurrent sessions on one folder: every entry is kept, or its run is refused.
TEST_F(SessionSafety, ConcurrentSessionsKeepEveryEntryOrRefuse) {
    ASSERT_EQ(Run({"--session"}).status, 0);
    constexpr int Loops = 2, RunsPerLoop = 20;
    std::vector<Outcome> outcomes(Loops * RunsPerLoop);
    std::vector<std::thread> loops;
    for (int loop = 0; loop < Loops; ++loop)
        loops.emplace_back([&, loop] {
            std::vector<std::thread> runs;
            for (int i = 0; i < RunsPerLoop; ++i) {
                const int n = loop * RunsPerLoop + i;
                runs.emplace_back([&, n] {
                    outcomes[static_cast<std::size_t>(n)] =
                        Run({"--session", std::to_string(n + 1) + " m"}, "", false, std::to_string(n));
                });
            }
            for (auto& r : runs) r.join();
        });
    for (auto& l : loops) l.join();

    std::set<std::string> expected;
    int refused = 0;
    for (std::size_t n = 0; n < outcomes.size(); ++n) {
        const Outcome& o = outcomes[n];
        if (o.status == 0) {
            expected.insert(std::to_string(n + 1) + ".000000000000000 m");
        } else {
            ++refused;
            EXPECT_EQ(o.status, 1) << "run " << n + 1 << ": " << o.err;
            EXPECT_NE(o.err.find(Refused), std::string::npos) << "run " << n + 1 << ": " << o.err;
        }
    }
    const std::vector<std::string> saved = SavedStack();
    EXPECT_EQ(std::set<std::string>(saved.begin(), saved.end()), expected);
    EXPECT_EQ(saved.size(), expected.size());            // none twice
    EXPECT_LT(refused, Loops * RunsPerLoop);             // the folder was shared, not just refused
    EXPECT_FALSE(fs::exists(dir_ / "SaveStck.dat.bak")); // nobody replaced a file it had not loaded
}

} // namespace
