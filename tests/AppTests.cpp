// The application core: the settings file's format and reading rules, its whole-or-
// nothing writing, and the command-line switches.
#include "TestUtil.h"
#include "options/MyCommandLineInfo.h"
#include "options/SettingsFile.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testutil;

namespace
{
// The 26 numbers of a settings record, in file order.
std::vector<long> Numbers(const CSettings& s)
{
    std::vector<long> numbers = {s.autoRunMode};
    numbers.insert(numbers.end(), s.areas, s.areas + AREA_COUNT);
    numbers.insert(numbers.end(), {s.showSplash, s.shred, s.dontShowWipeNotice});
    return numbers;
}

std::vector<long> Repeat(std::vector<long> head, long value)
{
    head.resize(26, value);
    return head;
}

const char kDefaults[] = "0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 ";
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
        {"more than 26 numbers", std::string(kDefaults) + "1 1 1", Numbers(CSettings())},
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
    EXPECT_EQ(CString("0 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 "), CSettingsFile::Format(odd));
}

TEST(SettingsFileTest, WrittenWholeOrNotAtAll)
{
    CString appData = MakeTestRoot("settings");
    CSettingsFile file(appData);
    EXPECT_EQ(appData + "\\Quorvantis\\settings.cfg", file.GetPath());
    CSettings settings;
    EXPECT_FALSE(file.Load(settings)) << "no file yet";
    EXPECT_EQ(Numbers(CSettings()), Numbers(settings));

    settings.autoRunMode = 2;
    settings.areas[4] = 0;
    ASSERT_TRUE(file.Save(settings)); // creates the folder too
    std::string bytes;
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ("2 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 ", bytes);
    CSettings loaded;
    ASSERT_TRUE(file.Load(loaded));
    EXPECT_EQ(Numbers(settings), Numbers(loaded));

    // A save that cannot complete leaves the old file as it was, and nothing beside it.
    ASSERT_TRUE(MakeDir(file.GetPath() + ".new"));
    settings.autoRunMode = 0;
    EXPECT_FALSE(file.Save(settings));
    ASSERT_TRUE(ReadBytes(file.GetPath(), bytes));
    EXPECT_EQ("2 1 1 1 1 0 1 1 1 1 1 1 1 1 1 1 1 0 1 1 1 1 1 1 1 0 ", bytes);
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
