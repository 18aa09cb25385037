// The application core: the settings file's format and reading rules, its whole-or-
// nothing writing, and the command-line switches.
#include "TestUtil.h"
#include "afx/Handle.h"
#include "options/AppChoices.h"
#include "options/MyCommandLineInfo.h"
#include "options/SettingsFile.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testutil;

namespace
{
// The 28 numbers of a settings record, in file order: the areas added after the first
// design come last.
std::vector<long> Numbers(const CSettings& s)
{
    const int firstDesign = AREA_FIRST_DESIGN_LAST - AREA_FIRST + 1;
    std::vector<long> numbers = {s.autoRunMode};
    numbers.insert(numbers.end(), s.areas, s.areas + firstDesign);
    numbers.insert(numbers.end(), {s.showSplash, s.shred, s.dontShowWipeNotice});
    numbers.insert(numbers.end(), s.areas + firstDesign, s.areas + AREA_COUNT);
    return numbers;
}

std::vector<long> Repeat(std::vector<long> head, long value)
{
    head.resize(28, value);
    return head;
}

const char kFirstDesignDefaults[] = "0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 ";
const char kDefaults[] = "0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 1 0 ";
} // namespace

TEST(SettingsFileTest, FormatAndReadingRules)
{
    EXPECT_EQ(CString(kDefaults), CSettingsFile::Format(CSettings()));
    std::string lines = kDefaults;
    for (char& ch : lines)
        if (ch == ' ')
            ch = '\n';
    const struct
    {
        const char* name;
        std::string text;
        std::vector<long> expected;
    } cases[] = {
        {"line breaks read as spaces", "\r\n\t" + lines, Numbers(CSettings())},
        {"empty: mode kept, every box unchecked", "", Repeat({0}, 0)},
        {"mode 3 kept as read", "3 1", Repeat({3, 1}, 0)},
        {"a leading plus", "2 +1 -0 1", Repeat({2, 1, 0, 1}, 0)},
        {"short, then a word: presets from there on", "1 1 0 x 1 1", Repeat({1, 1, 0}, 0)},
        {"a word first: mode as its preset", "x 1 1", Repeat({0}, 0)},
        {"more than 28 numbers", std::string(kDefaults) + "1 1 1", Numbers(CSettings())},
        // An older program's file: its 26 numbers keep their meaning, and site data and
        // sessions take a new user's choices (on, off).
        {"a file of the first design", "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 0 1",
         Repeat({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 1}, 0)},
        {"a word after the first design", std::string(kFirstDesignDefaults) + "x 1", Repeat(
            {0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0}, 0)},
    };
    for (const auto& c : cases)
    {
        CSettings settings;
        CSettingsFile::Parse(CString(c.text), settings);
        EXPECT_EQ(c.expected, Numbers(settings)) << c.name;
    }
    // A mode outside 0 to 2 is written as 0; check states as 0 or 1.
    CSettings odd;
    odd.autoRunMode = 3;
    odd.areas[0] = 3;
    odd.dontShowWipeNotice = 2;
    EXPECT_EQ(CString(kDefaults), CSettingsFile::Format(odd));
}

TEST(SettingsFileTest, WrittenWholeOrNotAtAll)
{
    CString appData = MakeTestRoot("settings");
    CSettingsFile file(appData);
    EXPECT_EQ(appData + "\\Quorvantis\\settings.cfg", file.GetPath());
    CSettings settings;
    EXPECT_EQ(SETTINGS_MISSING, file.Load(settings)) << "no file yet";
    EXPECT_EQ(Numbers(CSettings()), Numbers(settings));

    settings.autoRunMode = 2;
    settings.areas[4] = 0;
    ASSERT_TRUE(file.Save(settings)); // creates the folder too
    std::string bytes;
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ("2 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 1 0 ", bytes);
    CSettings loaded;
    ASSERT_EQ(SETTINGS_READ, file.Load(loaded));
    EXPECT_EQ(Numbers(settings), Numbers(loaded));

    // A read-only file is never replaced: the save fails and says why.
    ASSERT_TRUE(SetFileAttributesA(file.GetPath(), FILE_ATTRIBUTE_READONLY));
    CString error;
    settings.autoRunMode = 0;
    EXPECT_FALSE(file.Save(settings, error));
    EXPECT_NE(-1, error.Find("read-only")) << error.GetString();
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ("2 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 1 0 ", bytes);
    EXPECT_NE(0u, GetFileAttributesA(file.GetPath()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(file.GetPath(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(appData);
}

// The "More applications" choices: their own file beside the settings file, written by
// the same whole-or-nothing save, and read as untrusted text.
TEST(AppChoicesFileTest, KeptBesideTheSettingsAndReadWithCare)
{
    const CString appData = MakeTestRoot("app-choices");
    const CAppChoicesFile file(appData);
    EXPECT_EQ(appData + "\\Quorvantis\\apps.cfg", file.GetPath());
    EXPECT_TRUE(file.Load().empty()) << "no file yet";
    CString error;
    const std::vector<CString> names = {"Vendor Notes *", "Caf\xC3\xA9 Logs *"};
    ASSERT_TRUE(file.Save(names, error)) << error.GetString();
    EXPECT_EQ(names, file.Load());
    std::string bytes;
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ("Vendor Notes *\r\nCaf\xC3\xA9 Logs *\r\n", bytes);
    // Lines holding control characters, and empty lines, are not taken.
    ASSERT_TRUE(WriteBytes(file.GetPath(), std::string("One *\n\nTwo\x01 *\r\nThree *")));
    EXPECT_EQ((std::vector<CString>{"One *", "Three *"}), file.Load());
    // A read-only file is kept as it is, and the save says why.
    ASSERT_TRUE(SetFileAttributesA(file.GetPath(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(file.Save(names, error));
    EXPECT_NE(-1, error.Find("read-only")) << error.GetString();
    EXPECT_EQ((std::vector<CString>{"One *", "Three *"}), file.Load());
    SetFileAttributesA(file.GetPath(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(appData);
}

// Whoever can write the settings folder plants links where a save might write: at the
// name of the file a save used to write first, and at the settings file itself (a link,
// or a second name of a document). A settings file that is not a plain file of one name
// is left where it points, neither replaced nor kept aside, and the save says why; the
// documents keep their bytes and their place.
TEST(SettingsFileTest, PlantedLinksAreNeverWrittenThrough)
{
    CString appData = MakeTestRoot("settings-links");
    CString documents = MakeTestRoot("settings-documents");
    CSettingsFile file(appData);
    ASSERT_TRUE(MakeDir(file.GetFolder()));
    const std::string thesis = "my thesis, chapter one";
    ASSERT_TRUE(WriteBytes(documents + "\\thesis.txt", thesis));
    ASSERT_TRUE(WriteBytes(documents + "\\notes.txt", thesis));
    const CString hostSettings = HostQuote(HostPath(file.GetPath()));
    ASSERT_TRUE(RunHost("ln " + HostQuote(HostPath(documents + "\\thesis.txt")) + " " +
                        HostQuote(HostPath(file.GetPath() + ".new"))));
    const struct
    {
        const char* plant;
        const char* reason;
    } plants[] = {
        {"ln -s", "leads elsewhere"},
        {"ln", "has 2 names"},
    };
    for (const auto& plant : plants)
    {
        ASSERT_TRUE(RunHost(CString(plant.plant) + " " + HostQuote(HostPath(documents + "\\notes.txt")) + " " +
                            hostSettings));
        for (bool keepOld : {false, true})
        {
            CString error;
            EXPECT_FALSE(file.Save(CSettings(), error, keepOld)) << plant.plant;
            EXPECT_NE(-1, error.Find(plant.reason)) << error.GetString();
            EXPECT_FALSE(Exists(file.GetKeptPath())) << plant.plant;
        }
        EXPECT_TRUE(RunHost("cmp -s " + hostSettings + " " + HostQuote(HostPath(documents + "\\notes.txt"))));
        EXPECT_EQ(std::string(plant.plant) == "ln -s", RunHost("test -L " + hostSettings));
        ASSERT_TRUE(RunHost("rm " + hostSettings));
    }
    ASSERT_TRUE(file.Save(CSettings()));
    std::string bytes;
    for (const char* name : {"\\thesis.txt", "\\notes.txt"})
    {
        ASSERT_TRUE(ReadBytes(documents + name, bytes)) << name;
        EXPECT_EQ(thesis, bytes) << name;
    }
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ(kDefaults, bytes);
    EXPECT_TRUE(Exists(file.GetPath() + ".new")) << "a name the program did not make is left";
    // Nothing of the save's own is left beside the file.
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(file.GetFolder() + "\\*", &found);
    int entries = 0;
    if (find != INVALID_HANDLE_VALUE)
    {
        do
            entries += found.cFileName[0] != '.';
        while (FindNextFileA(find, &found));
        FindClose(find);
    }
    EXPECT_EQ(2, entries);
    RemoveTree(appData);
    RemoveTree(documents);
}

// A file that is there but cannot be read or understood is told apart from a missing
// one, and kept as settings.cfg.bad when a save replaces it.
TEST(SettingsFileTest, UnreadableFilesAreToldAndKept)
{
    CString appData = MakeTestRoot("settings-bad");
    CSettingsFile file(appData);
    ASSERT_TRUE(MakeDir(file.GetFolder()));
    const struct
    {
        const char* name;
        std::string bytes;
        SettingsLoad expected;
    } cases[] = {
        {"the program's own", kDefaults, SETTINGS_READ},
        {"empty", "", SETTINGS_READ},
        {"UTF-16", std::string("\xFF\xFE" "0\0 \0" "1\0 \0", 10), SETTINGS_NOT_UNDERSTOOD},
        {"binary", std::string("\x00\x01\x02\x7F", 4), SETTINGS_NOT_UNDERSTOOD},
        {"a word", "0 1 yes 1", SETTINGS_NOT_UNDERSTOOD},
        {"a newer format's key", "version=2\n0 1 1", SETTINGS_NOT_UNDERSTOOD},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE(WriteBytes(file.GetPath(), c.bytes));
        CSettings settings;
        settings.shred = 7;
        EXPECT_EQ(c.expected, file.Load(settings)) << c.name;
        if (c.expected != SETTINGS_READ)
        {
            EXPECT_EQ(7, settings.shred) << c.name << ": the settings stay as they were";
        }
    }
    // Held open by another program: there, but unreadable.
    {
        CHandle held(CreateFileA(file.GetPath(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.IsValid());
        CSettings settings;
        CString error;
        EXPECT_EQ(SETTINGS_UNREADABLE, file.Load(settings, &error));
        EXPECT_FALSE(error.IsEmpty());
    }
    // The first save after keeps what could not be read.
    std::string bytes;
    CString error;
    ASSERT_TRUE(file.Save(CSettings(), error, true)) << error.GetString();
    ASSERT_TRUE(ReadBytes(file.GetKeptPath(), bytes));
    EXPECT_EQ("version=2\n0 1 1", bytes);
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ(kDefaults, bytes);
    RemoveTree(appData);
}

TEST(CommandLineTest, SwitchesAreCaseSensitiveWholeArgumentsAfterSlashOrDash)
{
    const struct
    {
        std::vector<const char*> args;
        int scan, clean, fast;
    } cases[] = {
        {{"/scan"}, 1, 0, 0},
        {{"-scan"}, 1, 0, 0},
        {{"/clean", "/scan"}, 1, 1, 0},
        {{"-fast", "file.txt", "/other"}, 0, 0, 1},
        {{"/Scan", "scan", "/scanner", "/SCAN", "--scan"}, 0, 0, 0},
    };
    for (const auto& c : cases)
    {
        GetCommandLineFlags() = CCommandLineFlags();
        std::vector<const char*> argv = {"Quorvantis.exe"};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        CMyCommandLineInfo info;
        CWinApp::ParseArguments(info, static_cast<int>(argv.size()), argv.data());
        const CCommandLineFlags& flags = GetCommandLineFlags();
        EXPECT_EQ(c.scan, flags.scan) << c.args[0];
        EXPECT_EQ(c.clean, flags.clean) << c.args[0];
        EXPECT_EQ(c.fast, flags.fast) << c.args[0];
    }
    GetCommandLineFlags() = CCommandLineFlags();
}
