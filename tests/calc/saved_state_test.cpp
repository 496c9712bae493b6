// Damaged, odd and unreadable saved files: what a start loads, what it reports (once), and that the
// close that follows loses nothing.
#include "calc/session.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string Kept = "the earlier file was kept as ";
const std::string OlderBackup = "a backup from an earlier run\r\n";

enum class AfterClose {
    Replaced,  // the file holds this run's values, nothing else is kept or said
    KeptAsBak, // the file holds this run's values, the old one lives on as <name>.bak, said once
    NotSaved,  // the thing in the way is left alone, the failure said once
};

struct DamageCase {
    const char* name;
    std::string bytes;            // what the file holds before the start
    std::vector<Quantity> loaded; // stack entries, or registers 0.. (the rest "0")
    Lines startMessages;          // message box at start
    size_t startErrors;           // error window at start ("Invalid register index")
    AfterClose after;
    std::function<void()> spoil = {}; // makes the file unreadable or puts something in its way
    bool ordinaryUser = false;        // the spoiling only holds for an ordinary user
};

std::string ManyLines(int count, const std::string& line) {
    std::string out;
    out.reserve(static_cast<size_t>(count) * (line.size() + 2));
    for (int i = 0; i < count; ++i) out += line + "\r\n";
    return out;
}

// An unreadable file needs POSIX modes (and an ordinary user): the Windows build skips those cases.
void Unreadable([[maybe_unused]] const char* name) {
#ifndef _WIN32
    ASSERT_EQ(::chmod(name, 0), 0);
#endif
}
void DirectoryInTheWay(const char* name) {
    fs::remove(name);
    fs::create_directory(name);
    WriteBytes(std::string(name) + "/keep", "x");
}

Quantity ValueOf(const std::string& text) {
    TNumberUnits q;
    EXPECT_TRUE(q.SetText(text)) << text;
    const std::string units = q.GetUnits();
    return {q.GetValue(), units == " " ? std::string() : units};
}

void ExpectValues(const Lines& texts, const std::vector<Quantity>& expected, const char* what) {
    ASSERT_EQ(texts.size(), expected.size()) << what;
    for (size_t i = 0; i < texts.size(); ++i) {
        const Quantity q = ValueOf(texts[i]);
        EXPECT_EQ(q.value, expected[i].value) << what << " entry " << i;
        EXPECT_EQ(q.units, expected[i].units) << what << " entry " << i;
    }
}

Lines RegisterTexts(Session& s) {
    Lines out;
    for (int i = 0; i < StackCalc::RegisterCount; ++i) out.push_back(s.Stack().Register(i));
    return out;
}

// Checks the close of a session whose file `name` started as `before`, after whatever the case did.
void ExpectCloseResult(const char* name, const std::string& before, AfterClose after,
                       const Lines& closeMessages, const std::function<Lines()>& savedNow) {
    const std::string bak = std::string(name) + ".bak";
    switch (after) {
    case AfterClose::Replaced:
        EXPECT_TRUE(closeMessages.empty()) << closeMessages.front();
        EXPECT_EQ(ReadBytes(bak), OlderBackup); // left alone
        break;
    case AfterClose::KeptAsBak: {
        ASSERT_EQ(closeMessages.size(), 1u);
        EXPECT_TRUE(Contains(closeMessages[0], Kept + bak)) << closeMessages[0];
        ASSERT_TRUE(fs::is_regular_file(bak));
        EXPECT_EQ(fs::file_size(bak), before.size());
        if (::access(bak.c_str(), R_OK) == 0) {
            EXPECT_EQ(ReadBytes(bak), before);
        }
        break;
    }
    case AfterClose::NotSaved:
        ASSERT_EQ(closeMessages.size(), 1u);
        EXPECT_TRUE(Contains(closeMessages[0], "Could not save") && Contains(closeMessages[0], name))
            << closeMessages[0];
        EXPECT_TRUE(fs::is_directory(name));
        EXPECT_EQ(ReadBytes(std::string(name) + "/keep"), "x");
        return;
    }
    // The file now holds exactly what this run had.
    auto lines = ReadTextLines(name);
    ASSERT_TRUE(lines.has_value());
    EXPECT_EQ(*lines, savedNow());
}

void RunCases(const char* name, const std::vector<DamageCase>& cases, bool registers) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto body = [&] {
            Session s;
            s.Start();
            EXPECT_EQ(s.startMessages, c.startMessages);
            EXPECT_EQ(s.startErrors, Lines(c.startErrors, "Invalid register index"));
            if (registers) {
                Lines texts = RegisterTexts(s);
                std::vector<Quantity> expected = c.loaded;
                expected.resize(StackCalc::RegisterCount, Quantity{0, ""});
                ExpectValues(texts, expected, "registers");
            } else {
                ExpectValues(s.Stack().FPStack(), c.loaded, "stack");
            }
            const Lines closed = s.Close();
            ExpectCloseResult(name, c.bytes, c.after, closed, [&] {
                if (!registers) return s.Stack().FPStack();
                Lines texts = RegisterTexts(s);
                return texts;
            });
        };
        WorkingDir dir;
        WriteBytes("Meridot.ini", GoodIni());
        WriteBytes("SaveStck.dat", "");
        WriteBytes("SaveRegs.dat", "");
        WriteBytes(name, c.bytes);
        WriteBytes(std::string(name) + ".bak",
                   OlderBackup); // one generation: replaced when a new one is kept
        if (c.spoil) c.spoil();
#ifdef _WIN32
        if (c.ordinaryUser) continue;
        body();
#else
        if (c.ordinaryUser)
            AsOrdinaryUser(body);
        else
            body();
#endif
    }
}

const std::string TenMegabyteLine(10u << 20, '7');

TEST(SavedStackFile, DamagedFilesLoseNothing) {
    const char* name = "SaveStck.dat";
    const Lines loadError{"Error loading stack file."};
    // What is there when the file cannot be read is named.
    const Lines denied{"Error loading stack file. \"SaveStck.dat\" cannot be read (Permission denied)."};
    const Lines directory{"Error loading stack file. \"SaveStck.dat\" is a directory."};
    using A = AfterClose;
    const std::vector<Quantity> two{{12, "ft"}, {3, ""}};
    const std::vector<DamageCase> cases{
        {"empty", "", {}, {}, 0, A::Replaced},
        {"CR LF", "12 ft\r\n3 \r\n", two, {}, 0, A::Replaced},
        {"CR only", "12 ft\r3 \r", two, {}, 0, A::Replaced},
        {"LF only", "12 ft\n3 \n", two, {}, 0, A::Replaced},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF"
         "12 ft\r\n3 \r\n",
         two,
         {},
         0,
         A::Replaced},
        {"UTF-16 LE with BOM", Utf16("12 ft\r\n3 \r\n", false), two, {}, 0, A::Replaced},
        {"UTF-16 BE with BOM", Utf16("12 ft\r\n3 \r\n", true), two, {}, 0, A::Replaced},
        {"truncated mid-line", "12 ft\r\n1.5E+", {{12, "ft"}}, {}, 0, A::KeptAsBak},
        {"garbage line", "12 ft\r\n\x01\x02garbage\xff\r\n3 \r\n", two, {}, 0, A::KeptAsBak},
        {"NUL byte", std::string("12 ft\r\n4\0 m\r\n3 \r\n", 17), two, {}, 0, A::KeptAsBak},
        {"10 MB line", "12 ft\r\n" + TenMegabyteLine + "\r\n3 \r\n", two, {}, 0, A::KeptAsBak},
        {"many lines", ManyLines(20000, "2 m"), std::vector<Quantity>(20000, {2, "m"}), {}, 0, A::Replaced},
        {"missing", "", {}, loadError, 0, A::Replaced, [name] { fs::remove(name); }},
        {"unreadable", "12 ft\r\n", {}, denied, 0, A::KeptAsBak, [name] { Unreadable(name); }, true},
        {"directory in the way", "", {}, directory, 0, A::NotSaved, [name] { DirectoryInTheWay(name); }},
        // Not loaded at all (the setting is not "true"): replaced, but the old file is kept.
        {"not loaded",
         "12 ft\r\n",
         {},
         {},
         0,
         A::KeptAsBak,
         [] { WriteBytes("Meridot.ini", GoodIni("yes")); }},
    };
    RunCases(name, cases, false);
}

TEST(SavedRegisterFile, DamagedFilesLoseNothing) {
    const char* name = "SaveRegs.dat";
    const Lines loadError{"Error loading register file."};
    const Lines denied{"Error loading register file. \"SaveRegs.dat\" cannot be read (Permission denied)."};
    const Lines directory{"Error loading register file. \"SaveRegs.dat\" is a directory."};
    using A = AfterClose;
    const std::string tenLines = ManyLines(10, "5 kg");
    const std::vector<Quantity> ten(10, {5, "kg"});
    const std::vector<DamageCase> cases{
        {"empty", "", {}, {}, 0, A::Replaced},
        {"ten lines", tenLines, ten, {}, 0, A::Replaced},
        {"CR only", "1 m\r2 m\r", {{1, "m"}, {2, "m"}}, {}, 0, A::Replaced},
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF"
         "1 m\r\n",
         {{1, "m"}},
         {},
         0,
         A::Replaced},
        {"UTF-16 LE with BOM", Utf16("1 m\r\n2 m\r\n", false), {{1, "m"}, {2, "m"}}, {}, 0, A::Replaced},
        {"UTF-16 BE with BOM", Utf16("1 m\n2 m\n", true), {{1, "m"}, {2, "m"}}, {}, 0, A::Replaced},
        {"garbage line",
         "1 m\r\n\x01\x02garbage\xff\r\n3 m\r\n",
         {{1, "m"}, {0, ""}, {3, "m"}},
         {},
         0,
         A::KeptAsBak},
        {"truncated mid-line", "1 m\r\n2.5E-", {{1, "m"}}, {}, 0, A::KeptAsBak},
        {"12 lines", ManyLines(12, "5 kg"), ten, {}, 1, A::KeptAsBak},
        {"a million lines", ManyLines(1000000, "5 kg"), ten, {}, 1, A::KeptAsBak},
        {"10 MB line", TenMegabyteLine + "\r\n2 m\r\n", {{0, ""}, {2, "m"}}, {}, 0, A::KeptAsBak},
        {"missing", "", {}, loadError, 0, A::Replaced, [name] { fs::remove(name); }},
        {"unreadable", tenLines, {}, denied, 0, A::KeptAsBak, [name] { Unreadable(name); }, true},
        {"directory in the way", "", {}, directory, 0, A::NotSaved, [name] { DirectoryInTheWay(name); }},
    };
    RunCases(name, cases, true);
}

// A line that reads as another value than it says is not loaded in full, though it parses: the
// file is kept when it is replaced. Lines that mean what they read as are not.
TEST(SavedFiles, LinesReadAsAnotherValueKeepTheFile) {
    const struct Row {
        const char* name;
        std::string line;
        bool kept;
    } rows[] = {
        {"a character passed over", "1 \xC2\xA7m", true},
        {"a control character passed over", "3 \x01m", true},
        {"underflow to zero", "1e-999 m", true},
        {"underflow to zero, decimals", "0.00000000000000000000000000001e-999 ft", true},
        {"plain", "12 ft", false},
        {"ignored characters", "1,000 m", false},
        {"a written zero", "-0.0e-5 ft", false},
        {"a tiny value that stays", "4.9406564584124654E-324 kg", false},
    };
    for (const auto& r : rows) {
        for (const char* name : {"SaveStck.dat", "SaveRegs.dat"}) {
            SCOPED_TRACE(std::string(r.name) + " in " + name);
            WorkingDir dir;
            WriteBytes("Meridot.ini", GoodIni());
            WriteBytes("SaveStck.dat", "");
            WriteBytes("SaveRegs.dat", "");
            const std::string bytes = "2 m\r\n" + r.line + "\r\n";
            WriteBytes(name, bytes);
            Session s;
            s.Start();
            EXPECT_TRUE(s.startMessages.empty()) << s.startMessages.front();
            const Lines closed = s.Close();
            const std::string bak = std::string(name) + ".bak";
            if (r.kept) {
                ASSERT_EQ(closed.size(), 1u);
                EXPECT_TRUE(Contains(closed[0], Kept + bak)) << closed[0];
                EXPECT_EQ(ReadBytes(bak), bytes);
            } else {
                EXPECT_TRUE(closed.empty()) << closed.front();
                EXPECT_FALSE(fs::exists(bak));
            }
        }
    }
}

// A preferences file that gives no setting at all is handled like a missing one: the message, the
// defaults (which load the saved stack and save at close), a new file, the old one kept.
TEST(PreferencesFile, DamagedFilesFallBackToTheDefaultsAndLoseNothing) {
    const std::string cantLoad = "Can't load Prefs from INI file: Meridot.ini";
    // Its first line sets 3 places, so that a first line that is not read shows.
    std::string good = GoodIni();
    good.replace(good.find("Decimal_Places = 7\r\n"), 20, "");
    good = "Decimal_Places = 3\r\n" + good;
    std::string lfOnly;
    for (char c : good)
        if (c != '\r') lfOnly += c;
    const struct Row {
        const char* name;
        std::string bytes;
        bool read;      // the file's own settings were taken (Fixed notation there, 3 places)
        bool keptAsBak; // the old file is kept when the new one is written
        bool unreadable = false;
    } rows[] = {
        {"empty", "", false, true},
        {"binary garbage", "\x89PNG\r\n\x1a\n\x00\x01\x02\xff\xfe garbage", false, true},
        {"UTF-16 without BOM", Utf16(GoodIni(), false).substr(2), false, true},
        {"one 10 MB line", TenMegabyteLine, false, true},
        {"comments only", "; nothing here\r\n[Startup Options]\r\n", false, true},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + good, true, false},
        {"UTF-16 LE with BOM", Utf16(good, false), true, false},
        {"UTF-16 BE with BOM", Utf16(good, true), true, false},
        {"LF only", lfOnly, true, false},
        {"a 10 MB line among good ones", TenMegabyteLine + "\r\n" + good, true, true},
        {"unreadable", good, false, true, true},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        WorkingDir dir;
        WriteBytes("Meridot.ini", r.bytes);
        WriteBytes("SaveStck.dat", "12 ft\r\n");
        WriteBytes("SaveRegs.dat", "");
        if (r.unreadable) Unreadable("Meridot.ini");
        auto body = [&] {
            Session s;
            s.Start();
            Lines expected;
            if (!r.read)
                expected.push_back(
                    cantLoad + (r.unreadable ? ". \"Meridot.ini\" cannot be read (Permission denied)." : ""));
            if (!r.read && r.keptAsBak)
                expected.push_back("\"Meridot.ini\" was not loaded in full, so " + Kept + "Meridot.ini.bak");
            EXPECT_EQ(s.startMessages, expected);
            const Settings& set = s.CurrentSettings();
            EXPECT_EQ(set.SavePrefs, 1);
            EXPECT_EQ(set.SaveStack, 1);
            EXPECT_EQ(set.DecimalPlaces, r.read ? 3 : 7);
            ExpectValues(s.Stack().FPStack(), {{12, "ft"}}, "stack");
            // The close keeps nothing more unless lines were dropped: the file on disk is then the
            // program's own, or was read in full.
            const Lines closed = s.Close();
            const bool dropped = r.read && r.keptAsBak;
            ASSERT_EQ(closed.size(), dropped ? 1u : 0u);
            if (dropped) {
                EXPECT_TRUE(Contains(closed[0], Kept + "Meridot.ini.bak")) << closed[0];
            }
            if (r.keptAsBak) {
                ASSERT_TRUE(fs::exists("Meridot.ini.bak"));
                EXPECT_EQ(fs::file_size("Meridot.ini.bak"), r.bytes.size());
                if (::access("Meridot.ini.bak", R_OK) == 0) {
                    EXPECT_EQ(ReadBytes("Meridot.ini.bak"), r.bytes);
                }
            } else {
                EXPECT_FALSE(fs::exists("Meridot.ini.bak"));
            }
            auto lines = ReadTextLines("Meridot.ini");
            ASSERT_TRUE(lines.has_value());
            EXPECT_EQ(*lines, s.PrefsLines());
        };
#ifdef _WIN32
        if (r.unreadable) continue;
        body();
#else
        if (r.unreadable)
            AsOrdinaryUser(body);
        else
            body();
#endif
    }
}

#ifndef _WIN32 // needs root and POSIX owners
// Where the system refuses a hard link (here: another user's file), the earlier file is kept as a
// copy of its bytes.
TEST(SavedStackFile, KeptAsACopyWhereNoLinkCanBeMade) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to leave the file to another user";
    WorkingDir dir;
    WriteBytes("Meridot.ini", GoodIni());
    WriteBytes("SaveRegs.dat", "");
    const std::string before = "12 ft\r\n12 fx\r\n";
    WriteBytes("SaveStck.dat", before);
    AsOrdinaryUser(
        [&] {
            Session s;
            s.Start();
            ExpectValues(s.Stack().FPStack(), {{12, "ft"}}, "stack");
            const Lines closed = s.Close();
            ASSERT_EQ(closed.size(), 1u);
            EXPECT_TRUE(Contains(closed[0], Kept + "SaveStck.dat.bak")) << closed[0];
            EXPECT_EQ(ReadBytes("SaveStck.dat.bak"), before);
            struct stat st {};
            ASSERT_EQ(::stat("SaveStck.dat.bak", &st), 0);
            EXPECT_EQ(st.st_nlink, 1u); // a copy, not a second name of the old file
            EXPECT_EQ(ReadBytes("SaveStck.dat"), "12.000000000000000 ft\r\n");
        },
        false);
}
#endif

// One file that cannot be written costs only itself: the other two are still written, and the
// failure is said once.
TEST(SaveAtClose, EachFileIsSavedOnItsOwn) {
    const char* names[] = {"Meridot.ini", "SaveStck.dat", "SaveRegs.dat"};
    for (const char* blocked : names) {
        SCOPED_TRACE(blocked);
        WorkingDir dir;
        WriteBytes("Meridot.ini", GoodIni());
        Session s;
        s.Start();
        s.calc->EnterText("4 m");
        s.StoreTop(2);
        DirectoryInTheWay(blocked);
        const Lines closed = s.Close();
        ASSERT_EQ(closed.size(), 1u);
        EXPECT_TRUE(Contains(closed[0], "Could not save") && Contains(closed[0], blocked)) << closed[0];
        for (const char* other : names) {
            if (other == blocked) continue;
            EXPECT_TRUE(fs::is_regular_file(other)) << other;
        }
        if (blocked != names[1]) {
            EXPECT_EQ(ReadBytes("SaveStck.dat"), "4.000000000000000 m\r\n");
        }
        if (blocked != names[2]) {
            EXPECT_TRUE(Contains(ReadBytes("SaveRegs.dat"), "4.000000000000000 m"));
        }
    }
}

#ifndef _WIN32
// A full disk (a file-size limit) stops the large stack file only; the old one stays whole.
TEST(SaveAtClose, FullDiskKeepsTheOldStackFile) {
    WorkingDir dir;
    WriteBytes("Meridot.ini", GoodIni());
    const std::string old = ManyLines(3, "9 m");
    WriteBytes("SaveStck.dat", old);
    Session s;
    s.Start();
    for (int i = 0; i < 200; ++i) s.Push("1 m");
    Lines closed;
    {
        FileSizeLimit limit(2000);
        ASSERT_TRUE(limit.Ok());
        closed = s.Close();
    }
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_TRUE(Contains(closed[0], "Could not save \"SaveStck.dat\"")) << closed[0];
    EXPECT_EQ(ReadBytes("SaveStck.dat"), old);
    EXPECT_TRUE(fs::exists("SaveRegs.dat"));
    EXPECT_EQ(EntryCount(dir.Path()), 3); // no temporary file left
}
#endif

// Every finite value comes back as the same double with the same units after a close and a
// restart, in every notation and with any number of places.
TEST(SavedValues, ComeBackExactlyAfterARestart) {
    const std::vector<std::string> texts{"1.7976931348623157E308 m",
                                         "-1.7976931348623157E308 ft",
                                         "4.9406564584124654E-324 kg",
                                         "2.2250738585072014E-308 sec",
                                         "0.1 m",
                                         "0.9999999999999999 ",
                                         "123456789.12345679 lbf*ft",
                                         "1.0000000000000002 N/m^2",
                                         "9.999999999999999E22 J",
                                         "-0.00012345678901234567 A"};
    for (int notation = 0; notation < NotationCount; ++notation) {
        for (int places : {0, 7, 15}) {
            SCOPED_TRACE("notation " + std::to_string(notation) + ", places " + std::to_string(places));
            WorkingDir dir;
            std::string ini = GoodIni();
            ini.replace(ini.find("Fixed"), 5,
                        std::array{"General", "Scientific", "Fixed", "Number", "Currency",
                                   "Engineering"}[static_cast<size_t>(notation)]);
            ini.replace(ini.find("Places = 7"), 10, "Places = " + std::to_string(places));
            WriteBytes("Meridot.ini", ini);
            Session first;
            first.Start();
            for (const auto& t : texts) ASSERT_TRUE(first.Push(t)) << t;
            first.StoreTop(4);
            EXPECT_TRUE(first.Close().empty());
            Session second;
            second.Start();
            ASSERT_EQ(second.Stack().Depth(), static_cast<int>(texts.size()));
            for (size_t i = 0; i < texts.size(); ++i) {
                const Quantity want = ValueOf(texts[i]), got = ValueOf(second.Stack().FPStack()[i]);
                EXPECT_EQ(got.value, want.value)
                    << texts[i] << " came back as " << second.Stack().FPStack()[i];
                EXPECT_EQ(got.units, want.units) << texts[i];
            }
            EXPECT_EQ(ValueOf(second.Stack().Register(4)).value, ValueOf(texts.back()).value);
        }
    }
}

} // namespace
