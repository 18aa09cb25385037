// Cleaning rules in the winapp2.ini format. The rule texts are our own, written after the
// format as the community file's repository describes it (MoscaDotTo/Winapp2): sections
// "[Name *]", LangSecRef or Section, Detect/DetectFile/DetectOS/SpecialDetect, Default,
// Warning, FileKeyN=folder|patterns|RECURSE|REMOVESELF, RegKeyN=key|value and
// ExcludeKeyN=FILE|PATH|REG.
#include "TestUtil.h"

#include "afx/Handle.h"
#include "areas/RegistryTarget.h"
#include "areas/Wildcard.h"
#include "engine/Catalogue.h"
#include "engine/RuleScan.h"
#include "engine/ScanPaths.h"
#include "engine/ScanRun.h"
#include "rules/RuleDetect.h"
#include "rules/RuleFile.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <shlobj.h>
#include <set>

using namespace testutil;

namespace
{
CRuleSet Parse(const std::string& text)
{
    CRuleSet rules;
    ParseRules(text.data(), text.size(), rules);
    return rules;
}

// Records what a scan reports; the refusals apart.
class CRuleSink : public CTickable
{
public:
    void Tick() override {}
    void ReportProblem(ProblemKind kind, const CString& place, const CString& reason) override
    {
        (kind == PROBLEM_REFUSED ? m_refused : m_other).push_back(place.str() + ": " + reason.str());
    }
    std::vector<std::string> m_refused, m_other;
};

// Scans one entry of a rule text with %Root% standing for root.
CFoundItemList ScanEntry(const std::string& text, const CString& root, CRuleSink& sink)
{
    static CRuleSet keep; // the entries outlive the items that share their names
    keep = Parse(text);
    EXPECT_EQ(1u, keep.entries.size());
    CRuleVariables variables = CRuleVariables::FromSystem();
    variables.Set("Root", {root});
    CScanRoots roots(nullptr);
    CFoundItemList list;
    CRuleScanner scanner(roots, variables, list, sink);
    for (const CRuleEntry& entry : keep.entries)
        scanner.Scan(entry);
    return list;
}

std::vector<std::string> Sorted(std::vector<std::string> texts)
{
    std::sort(texts.begin(), texts.end());
    return texts;
}

bool HostHas(const CString& path) { return RunHost("test -e " + HostQuote(HostPath(path))); }
} // namespace

TEST(RuleFileTest, EveryKeyKindFlagAndMalformedLine)
{
    const CRuleSet rules = Parse("\xEF\xBB\xBF; a comment\n"
                                 "stray=before any entry\n"
                                 "[Vendor App *]\r\n"
                                 "LangSecRef=3022\n"
                                 "Detect=HKCU\\Software\\Vendor\n"
                                 "Detect2=HKCU\\Software\\Vendor|Path\n"
                                 "DetectFile1=%ProgramFiles%\\Vendor\\*\\app.exe\n"
                                 "DetectOS=6.2|\n"
                                 "SpecialDetect=DET_CHROME\n"
                                 "Default=True\n"
                                 "Warning=This forgets your sessions.\n"
                                 "FileKey1=%AppData%\\Vendor|*.log;*.tmp\n"
                                 "FileKey2=%LocalAppData%\\Vendor\\Cache|*.*|RECURSE\n"
                                 "FileKey3=%LocalAppData%\\Vendor\\Old|*.*|REMOVESELF\n"
                                 "RegKey1=HKCU\\Software\\Vendor\\Recent\n"
                                 "RegKey2=HKCU\\Software\\Vendor|LastFile\n"
                                 "ExcludeKey1=FILE|%AppData%\\Vendor\\|keep.log\n"
                                 "ExcludeKey2=PATH|%LocalAppData%\\Vendor\\Cache\\Keep\\\n"
                                 "ExcludeKey3=REG|HKCU\\Software\\Vendor\\Recent|Pinned\n"
                                 "FileKey4=%AppData%\\Vendor\n"          // no pattern
                                 "FileKey5=%AppData%\\Vendor|*.x|DEEP\n" // no such flag
                                 "ExcludeKey4=DIR|C:\\x\n"               // no such kind
                                 "Colour=blue\n"                         // no such key
                                 "no equals sign\n"
                                 "[Second *]\n"
                                 "Section=My tools\n"
                                 "RegKey1=HKCU\\Software\\Second\n"
                                 "[Nothing to clean *]\n"
                                 "DetectFile=%WinDir%\n"
                                 "[vendor app *]\n" // the same name again: it replaces the first
                                 "LangSecRef=3021\n"
                                 "FileKey1=%Temp%\\Vendor|*.*\n");
    EXPECT_EQ(6, rules.malformedLines);
    ASSERT_EQ(2u, rules.entries.size());
    const CRuleEntry& replaced = rules.entries[0];
    EXPECT_EQ("vendor app *", replaced.name.str());
    EXPECT_EQ("Applications", replaced.section.str());
    EXPECT_EQ("My tools", rules.entries[1].section.str());
    EXPECT_EQ("Second *", rules.entries[1].typeName->str());

    // The first entry, read alone, keeps every key.
    const CRuleSet first = Parse("[Vendor App *]\nLangSecRef=3022\nDetect=HKCU\\A\nDetect2=HKCU\\A|V\n"
                                 "DetectFile1=%ProgramFiles%\\V\\*\\app.exe\nDetectOS=6.2|\nSpecialDetect=DET_CHROME\n"
                                 "Default=True\nWarning=W\nFileKey1=%AppData%\\V|*.log;*.tmp\n"
                                 "FileKey2=%AppData%\\V\\C|*.*|RECURSE\nFileKey3=%AppData%\\V\\O|*.*|REMOVESELF\n"
                                 "RegKey1=HKCU\\A\\R\nRegKey2=HKCU\\A|L\nExcludeKey1=FILE|%AppData%\\V\\|k.log\n"
                                 "ExcludeKey2=PATH|%AppData%\\V\\C\\K\\\nExcludeKey3=REG|HKCU\\A\\R|P\n");
    ASSERT_EQ(1u, first.entries.size());
    const CRuleEntry& entry = first.entries[0];
    EXPECT_EQ("Internet", entry.section.str());
    EXPECT_EQ(2u, entry.detect.size());
    EXPECT_EQ(1u, entry.detectFile.size());
    EXPECT_EQ("6.2|", entry.detectOS.str());
    EXPECT_TRUE(entry.defaultOn);
    EXPECT_EQ("W", entry.warning.str());
    ASSERT_EQ(3u, entry.fileKeys.size());
    EXPECT_EQ((std::vector<CString>{"*.log", "*.tmp"}), entry.fileKeys[0].patterns);
    EXPECT_FALSE(entry.fileKeys[0].recurse);
    EXPECT_TRUE(entry.fileKeys[1].recurse && !entry.fileKeys[1].removeSelf);
    EXPECT_TRUE(entry.fileKeys[2].recurse && entry.fileKeys[2].removeSelf);
    ASSERT_EQ(2u, entry.regKeys.size());
    EXPECT_FALSE(entry.regKeys[0].isValue);
    EXPECT_TRUE(entry.regKeys[1].isValue && entry.regKeys[1].value == "L");
    ASSERT_EQ(3u, entry.excludes.size());
    EXPECT_EQ(EXCLUDE_FILE, entry.excludes[0].kind);
    EXPECT_EQ(EXCLUDE_PATH, entry.excludes[1].kind);
    EXPECT_EQ(EXCLUDE_REG, entry.excludes[2].kind);
    EXPECT_EQ("P", entry.excludes[2].value.str());

    // UTF-16 with its mark, as some editors save the file.
    const std::wstring wide = L"\xFEFF[Wide \x00E9 *]\nFileKey1=%Temp%\\W|*.*\n";
    const CRuleSet utf16 = Parse(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
    ASSERT_EQ(1u, utf16.entries.size());
    EXPECT_EQ("Wide \xC3\xA9 *", utf16.entries[0].name.str());
}

TEST(WildcardTest, MatchesAsTheFileSystemDoes)
{
    const struct
    {
        const wchar_t* pattern;
        const wchar_t* name;
        bool matches;
    } cases[] = {
        {L"*.log", L"app.LOG", true}, {L"*.log", L"app.log.old", false}, {L"*.*", L"README", true},
        {L"cache?", L"Cache1", true}, {L"cache?", L"Cache12", false},    {L"*a*b", L"xxaYYb", true},
        {L"*a*b", L"xxaYYbc", false}, {L"*", L"", true},                 {L"a", L"b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.matches, MatchesWildcard(FoldedName(c.pattern), FoldedName(c.name))) << c.pattern;
}

TEST(RuleVariablesTest, EveryVariableStandsForItsFolder)
{
    const CRuleVariables variables = CRuleVariables::FromSystem();
    const struct
    {
        const char* name;
        int csidl; // -1: checked by its shape only
    } cases[] = {
        {"LocalAppData", CSIDL_LOCAL_APPDATA}, {"AppData", CSIDL_APPDATA},        {"ProgramData", CSIDL_COMMON_APPDATA},
        {"CommonAppData", CSIDL_COMMON_APPDATA}, {"UserProfile", CSIDL_PROFILE}, {"WinDir", CSIDL_WINDOWS},
        {"SystemRoot", CSIDL_WINDOWS},         {"Documents", CSIDL_PERSONAL},     {"Music", CSIDL_MYMUSIC},
        {"Pictures", CSIDL_MYPICTURES},        {"Video", CSIDL_MYVIDEO},          {"Public", -1},
        {"Temp", -1},                          {"LocalLowAppData", -1},           {"SystemDrive", -1},
        {"HomeDrive", -1},                     {"CommonProgramFiles", -1},        {"ProgramFiles", -1},
    };
    for (const auto& c : cases)
    {
        std::vector<CString> values;
        ASSERT_TRUE(variables.Expand(CString("%") + c.name + "%\\x", values)) << c.name;
        ASSERT_FALSE(values.empty());
        EXPECT_EQ(':', values[0][1]) << c.name;
        if (c.csidl >= 0)
            EXPECT_EQ((GetShellFolderPath(nullptr, c.csidl) + "\\x").str(), values[0].str()) << c.name;
    }
    // Both Program Files folders, and every combination of two such variables.
    std::vector<CString> values;
    ASSERT_TRUE(variables.Expand("%ProgramFiles%\\A", values));
    EXPECT_EQ(2u, values.size());
    ASSERT_TRUE(variables.Expand("%ProgramFiles%|%CommonProgramFiles%", values));
    EXPECT_EQ(4u, values.size());
    // The user's name is a name, and the environment answers for the rest.
    ASSERT_TRUE(variables.Expand("%UserName%", values));
    EXPECT_TRUE(values[0].Find('\\') < 0 && !values[0].IsEmpty());
    SetEnvironmentVariableA("QV_RULE_TEST", "C:\\env");
    ASSERT_TRUE(variables.Expand("%qv_rule_test%\\a", values));
    EXPECT_EQ("C:\\env\\a", values[0].str());
    EXPECT_FALSE(variables.Expand("%NoSuchVariableAtAll%\\a", values));
    EXPECT_TRUE(values.empty());
}

TEST(RuleDetectTest, EachKindOfDetectionTrueAndFalse)
{
    const CString root = MakeTestRoot("rule-detect");
    ASSERT_TRUE(MakeDir(root + "\\Vendor") && MakeDir(root + "\\Vendor\\v2.1") && MakeDir(root + "\\Vendor\\v2.1\\bin"));
    ASSERT_TRUE(WriteBytes(root + "\\Vendor\\v2.1\\bin\\app.exe", "MZ"));
    CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QvDetect", 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, reinterpret_cast<HKEY*>(&key), nullptr));
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    CRuleVariables variables = CRuleVariables::FromSystem();
    variables.Set("Root", {root});
    CRuleDetector detector(variables, {10, 0});
    const struct
    {
        const char* keys;
        bool detected;
    } cases[] = {
        {"", true}, // no detection key: always shown
        {"Detect=HKCU\\Software\\QvDetect\n", true},
        {"Detect=HKCU\\Software\\QvNoSuchKey\n", false},
        {"Detect=HKCU\\Software\\QvDetect|Path\n", true},
        {"Detect=HKCU\\Software\\QvDetect|Other\n", false},
        {"Detect1=HKCU\\Software\\QvNoSuchKey\nDetect2=HKEY_CURRENT_USER\\Software\\QvDetect\n", true},
        {"DetectFile=%Root%\\Vendor\\*\\bin\\app.exe\n", true},
        {"DetectFile=%Root%\\Vendor\\v?.1\\bin\n", true},
        {"DetectFile=%Root%\\Vendor\\*\\bin\\other.exe\n", false},
        {"DetectFile=%NoSuchVariableAtAll%\\Vendor\n", false},
        {"DetectFile=%Root%\\Vendor\\..\\Vendor\n", false},
        {"DetectOS=6.1|\n", true},
        {"DetectOS=|6.3\n", false},
        {"DetectOS=10.0|10.0\nDetectFile=%Root%\\Vendor\n", true},
        {"DetectOS=6.1|6.3\nDetectFile=%Root%\\Vendor\n", false},
        {"SpecialDetect=DET_NO_SUCH\n", false},
        {"SpecialDetect=DET_WINDOWS\n", true},
        {"DetectOS=10.0\n", true}, // one version: exactly that one
        {"DetectOS=6.1\n", false},
    };
    for (const auto& c : cases)
    {
        const CRuleSet rules = Parse(std::string("[Case *]\n") + c.keys + "FileKey1=%Root%|*.tmp\n");
        ASSERT_EQ(1u, rules.entries.size());
        EXPECT_EQ(c.detected, detector.IsDetected(rules.entries[0])) << c.keys;
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QvDetect");
    RemoveTree(root);
}

TEST(RuleScanTest, FileKeysFlagsExclusionsAndMidPathWildcards)
{
    const CString root = MakeTestRoot("rule-scan");
    for (const char* folder : {"\\Logs", "\\Logs\\sub", "\\Cache", "\\Cache\\deep", "\\Old", "\\Old\\Keep", "\\p1",
                               "\\p1\\Mid", "\\p2", "\\p2\\Mid", "\\p2\\Mid\\Deep"})
        ASSERT_TRUE(MakeDir(root + folder));
    for (const char* file : {"\\Logs\\a.log", "\\Logs\\keep.log", "\\Logs\\notes.txt", "\\Logs\\sub\\b.log",
                             "\\Cache\\c.bin", "\\Cache\\deep\\d", "\\Old\\o.tmp", "\\Old\\Keep\\k.tmp",
                             "\\p1\\Mid\\m.tmp", "\\p2\\Mid\\n.tmp", "\\p2\\Mid\\Deep\\x.tmp"})
        ASSERT_TRUE(WriteBytes(root + file, "trace"));
    CRuleSink sink;
    CFoundItemList list = ScanEntry("[Scan *]\n"
                                    "FileKey1=%Root%\\Logs|*.log|RECURSE\n"
                                    "FileKey2=%Root%\\Cache|*.*|REMOVESELF\n"
                                    "FileKey3=%Root%\\Old|*.tmp|REMOVESELF\n"
                                    "FileKey4=%Root%\\*\\Mid|*.tmp\n"
                                    "FileKey5=%Root%\\Logs|a.log\n" // listed once though two keys find it
                                    "ExcludeKey1=FILE|%Root%\\Logs\\|keep.log\n"
                                    "ExcludeKey2=PATH|%Root%\\Old\\Keep\\\n",
                                    root, sink);
    EXPECT_TRUE(sink.m_refused.empty());
    EXPECT_TRUE(sink.m_other.empty());
    const CString r = root;
    EXPECT_EQ(Sorted({(r + "\\Logs\\a.log").str(), (r + "\\Logs\\sub\\b.log").str(), (r + "\\Cache\\").str(),
                      (r + "\\Cache\\c.bin").str(), (r + "\\Cache\\deep\\").str(), (r + "\\Cache\\deep\\d").str(),
                      (r + "\\Old\\o.tmp").str(), (r + "\\p1\\Mid\\m.tmp").str(), (r + "\\p2\\Mid\\n.tmp").str()}),
              Sorted(Texts(list)));
    EXPECT_EQ("Scan *", list[0]->GetTypeName().str());

    CleanList(list);
    EXPECT_TRUE(list.empty());
    // On the host: what was listed is gone, the rest is there; Old keeps its excluded
    // folder and so stays, Cache was emptied and went.
    for (const char* gone : {"\\Logs\\a.log", "\\Logs\\sub\\b.log", "\\Cache", "\\Old\\o.tmp", "\\p1\\Mid\\m.tmp"})
        EXPECT_FALSE(HostHas(root + gone)) << gone;
    for (const char* kept : {"\\Logs\\keep.log", "\\Logs\\notes.txt", "\\Logs\\sub", "\\Old\\Keep\\k.tmp",
                             "\\p2\\Mid\\Deep\\x.tmp"})
        EXPECT_TRUE(HostHas(root + kept)) << kept;
    RemoveTree(root);
}

TEST(RuleScanTest, KeysThatReachProtectedPlacesAreRefusedAndTouchNothing)
{
    const CString root = MakeTestRoot("rule-refused");
    const CString documents = GetShellFolderPath(nullptr, CSIDL_PERSONAL);
    const CString sentinel = documents + "\\thesis-rule-test.txt";
    ASSERT_TRUE(WriteBytes(sentinel, "my thesis"));
    ASSERT_TRUE(MakeDir(documents + "\\Sub") && WriteBytes(documents + "\\Sub\\chapter.txt", "chapter"));
    ASSERT_TRUE(MakeHostLink(documents, root + "\\docs-link"));
    ASSERT_TRUE(MakeDir(GetShellFolderPath(nullptr, CSIDL_APPDATA) + "\\Quorvantis"));
    const std::string sid = CurrentUserSid().str();
    ASSERT_FALSE(sid.empty());
    const std::string cases[] = {
        "FileKey1=C:\\|*.*",
        "FileKey1=%SystemDrive%|*.tmp|RECURSE",
        "FileKey1=%UserProfile%|*.*|RECURSE",
        "FileKey1=%Documents%|*.txt",
        "FileKey1=%Documents%\\..|*.*",
        "FileKey1=%UserProfile%\\Desktop|*.*",
        "FileKey1=%Pictures%|*.jpg",
        "FileKey1=%Music%|*.*",
        "FileKey1=%Video%|*.*",
        "FileKey1=%UserProfile%\\Downloads|*.exe",
        "FileKey1=%WinDir%|*.log",
        "FileKey1=%ProgramFiles%|*.*",
        "FileKey1=%LocalAppData%\\*|*.*|RECURSE",
        "FileKey1=%Root%\\docs-link|*.*",       // a link into the documents, resolved by handle
        "FileKey1=%Documents%\\Sub|*.*|RECURSE", // every file inside a folder of the user's own
        "FileKey1=Relative\\Folder|*.*",
        "RegKey1=HKCU\\Software",
        "RegKey1=HKEY_CURRENT_USER",
        "RegKey1=HKCU\\Software\\Micro*\\Windows",
        "RegKey1=HKLM\\SOFTWARE\\*",
        "RegKey1=HKU\\.DEFAULT",
        // Every file, however the pattern spells it; the program's own folder.
        "FileKey1=%Documents%\\Sub|**",
        "FileKey1=%Documents%\\Sub|?*",
        "FileKey1=%Documents%\\Sub|notes.txt;*?*",
        "FileKey1=%Documents%\\Sub|**|RECURSE",
        "FileKey1=%AppData%\\Quorvantis|*.cfg",
        "FileKey1=%LocalAppData%|qv*.log", // wildcards directly in an application-data folder
        // Protected keys by other spellings: this user's hive under HKU, the 32-bit view,
        // long names in any case with doubled and trailing separators, another user's hive.
        "RegKey1=HKU\\" + sid + "\\Software",
        "RegKey1=HKEY_USERS\\" + sid + "\\Environment",
        "RegKey1=HKU\\.DEFAULT\\Software",
        "RegKey1=HKU\\S-1-5-18\\Software\\Vendor",
        "RegKey1=HKLM\\SOFTWARE\\Wow6432Node\\Microsoft",
        "RegKey1=hkey_current_user\\\\software\\",
    };
    for (const std::string& key : cases)
    {
        CRuleSink sink;
        CFoundItemList list = ScanEntry("[Hostile *]\n" + key + "\n", root, sink);
        EXPECT_TRUE(list.empty()) << key;
        ASSERT_EQ(1u, sink.m_refused.size()) << key;
        EXPECT_EQ(0u, sink.m_refused[0].find("Hostile *: ")) << sink.m_refused[0];
        CleanList(list);
    }
    EXPECT_TRUE(RunHost("grep -qx 'my thesis' " + HostQuote(HostPath(sentinel))));
    EXPECT_TRUE(RunHost("grep -qx chapter " + HostQuote(HostPath(documents + "\\Sub\\chapter.txt"))));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Environment", "TEMP"));
    DeleteFileA(sentinel);
    RemoveTree(documents + "\\Sub");
    RemoveTree(root);
}

TEST(RuleScanTest, RegistryKeysValuesWildcardsAndExclusions)
{
    const char* keys[] = {"Software\\QvRules\\App", "Software\\QvRules\\Office\\User MRU\\ADAL_1\\File MRU",
                          "Software\\QvRules\\Office\\User MRU\\Live_2\\File MRU", "Software\\QvRules\\Keep",
                          "Software\\QvRules\\Empty"};
    for (const char* name : keys)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        if (strstr(name, "Empty") == nullptr)
        {
            RegSetValueExA(key, "Item 1", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\a.doc"), 9);
            RegSetValueExA(key, "Pinned", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\b.doc"), 9);
        }
        RegCloseKey(key);
    }
    CRuleSink sink;
    CFoundItemList list = ScanEntry("[Registry *]\n"
                                    "RegKey1=HKCU\\Software\\QvRules\\App|Item 1\n"
                                    "RegKey2=HKCU\\Software\\QvRules\\App|Missing\n"
                                    "RegKey3=HKCU\\Software\\QvRules\\Office\\User MRU\\*\\File MRU\n"
                                    "RegKey4=HKCU\\Software\\QvRules\\Keep\n"
                                    "RegKey5=HKCU\\Software\\QvRules\\Empty\n"
                                    "RegKey6=HKCU\\Software\\QvRules\\NoSuchKey\n"
                                    "RegKey7=HKCU\\Software\\QvRules\\Office\\User MRU\\Live_2\\File MRU|Pinned\n"
                                    "ExcludeKey1=REG|HKCU\\Software\\QvRules\\Keep\n"
                                    "ExcludeKey2=REG|HKCU\\Software\\QvRules\\Office\\User MRU\\Live_2\\File MRU|Pinned\n",
                                    CString("C:\\unused"), sink);
    EXPECT_TRUE(sink.m_refused.empty());
    // Live_2's list holds an excluded value: it is not deleted whole, its other values go.
    EXPECT_EQ(Sorted({"HKCU\\Software\\QvRules\\App\\Item 1", "HKCU\\Software\\QvRules\\Office\\User MRU\\ADAL_1\\File MRU",
                      "HKCU\\Software\\QvRules\\Office\\User MRU\\Live_2\\File MRU\\Item 1"}),
              Sorted(Texts(list)));
    CleanList(list);
    EXPECT_TRUE(list.empty());
    CRegKey key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              key.Open(HKEY_CURRENT_USER, "Software\\QvRules\\Office\\User MRU\\ADAL_1\\File MRU", KEY_READ));
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, "Software\\QvRules\\App", KEY_READ));
    EXPECT_FALSE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules\\App", "Item 1"));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules\\App", "Pinned"));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules\\Keep", "Item 1"));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules\\Office\\User MRU\\Live_2\\File MRU", "Pinned"));
    EXPECT_FALSE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules\\Office\\User MRU\\Live_2\\File MRU", "Item 1"));
    key.Close();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QvRules");
}

namespace
{
class CAreasContext : public IScanContext
{
public:
    CAreasContext() { ResolveScanPaths(m_paths, nullptr); }
    bool IsAreaChecked(int id) const override { return id == AREA_RECENT_DOCS || id == AREA_FIND_HISTORY || id == AREA_OFFICE; }
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return nullptr; }
    void Tick() override {}
    void RefreshList() override {}
    CScanPaths m_paths;
};
} // namespace

TEST(BuiltInRulesTest, JumpListsExplorerHistoriesAndTodaysOfficeLists)
{
    const char* keys[] = {"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery",
                          "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths",
                          "Software\\Microsoft\\Office\\12.0\\PowerPoint\\File MRU",
                          "Software\\Microsoft\\Office\\16.0\\Word\\Place MRU",
                          "Software\\Microsoft\\Office\\16.0\\Excel\\User MRU\\ADAL_1A2B\\File MRU"};
    for (const char* name : keys)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                 nullptr));
        RegSetValueExA(key, "Item 1", 0, REG_SZ, reinterpret_cast<const BYTE*>("[F00000000]*C:\\a.docx"), 23);
        RegCloseKey(key);
    }
    const CString recent = GetShellFolderPath(nullptr, CSIDL_RECENT);
    const CString jumpList = recent + "\\AutomaticDestinations\\5f7b5f1e01b83767.automaticDestinations-ms";
    ASSERT_TRUE(MakeDir(recent + "\\AutomaticDestinations") && WriteBytes(jumpList, "jump"));

    CAreasContext context;
    CSectionList sections = CreateSections({"Windows", "Applications", "Browsers", "Wipe"});
    sections[SECTION_BROWSERS]->SetChecked(0);
    ScanSections(sections, context);
    const std::vector<std::string> windows = Texts(sections[SECTION_WINDOWS]->GetFoundItems(), true);
    const std::vector<std::string> office = Texts(sections[SECTION_APPLICATIONS]->GetFoundItems(), true);
    // The Recent walk lists the jump list once; the rule adds no second line for it.
    EXPECT_EQ(1, std::count_if(windows.begin(), windows.end(),
                               [&](const std::string& line) { return line.find(jumpList.str()) != std::string::npos; }));
    for (const std::string expected :
         {"Explorer search box history: HKCU\\" + std::string(keys[0]), "Explorer address bar history: HKCU\\" + std::string(keys[1])})
        EXPECT_NE(windows.end(), std::find(windows.begin(), windows.end(), expected)) << expected;
    for (int i = 2; i < 5; ++i)
        EXPECT_NE(office.end(), std::find(office.begin(), office.end(), "Office recent files: HKCU\\" + std::string(keys[i])))
            << keys[i];
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Office");
    RegDeleteTreeA(HKEY_CURRENT_USER, keys[0]);
    RegDeleteTreeA(HKEY_CURRENT_USER, keys[1]);
    DeleteFileA(jumpList);
}

// Exclusions, sections and the format's smaller rules, as the community file's
// documentation writes them.
TEST(RuleFileTest, ExclusionsSectionsAndSmallerRules)
{
    using namespace std::string_literals;
    const CRuleSet rules = Parse("[Excludes *]\n"
                                 "FileKey1=C:\\dir|*.*\n"
                                 "ExcludeKey1=FILE|C:\\dir\\deleteme.log\n"
                                 "ExcludeKey2=PATH|C:\\dir|*.bak;*.log\n"
                                 "ExcludeKey3=FILE|C:\\dir\\|a.txt;b.txt\n"
                                 "ExcludeKey4=PATH|C:\\dir\\sub\\\n"
                                 "ExcludeKey5=REG|HKCU\\Software\\A|Value\n"
                                 "[Unreadable exclusion *]\n"
                                 "FileKey1=C:\\dir|*.*\n"
                                 "ExcludeKey1=DIR|C:\\dir\n"
                                 "[Vivaldi Cache *]\nLangSecRef=3033\nFileKey1=C:\\v|*.*\n"
                                 "[Brave Cache *]\nLangSecRef=3034\nFileKey1=C:\\b|*.*\n"
                                 "[Edge Cache *]\nLangSecRef=3006\nFileKey1=C:\\e|*.*\n"
                                 "[Avira Cache *]\nLangSecRef=3044\nFileKey1=C:\\a|*.*\n"
                                 "[No such section *]\nLangSecRef=3041\nFileKey1=C:\\n|*.*\n" +
                                 "[Nul\0name *]\nFileKey1=C:\\x|*.*\n"s + "[Nul key *]\nFileKey1=C:\\x|a\0b\nFileKey2=C:\\y|*.*\n"s);
    std::vector<std::string> names, sections;
    for (const CRuleEntry& entry : rules.entries)
    {
        names.push_back(entry.name.str());
        sections.push_back(entry.section.str());
    }
    EXPECT_EQ((std::vector<std::string>{"Excludes *", "Unreadable exclusion *", "Vivaldi Cache *", "Brave Cache *",
                                        "Edge Cache *", "Avira Cache *", "No such section *", "Nul key *"}),
              names);
    EXPECT_EQ((std::vector<std::string>{"Other", "Other", "Vivaldi", "Brave", "Microsoft Edge", "Avira Secure Browser",
                                        "Other", "Other"}),
              sections);
    // Malformed: the DIR exclusion, 3041, the name with a NUL and its key, the key with a NUL.
    EXPECT_EQ(5, rules.malformedLines);
    EXPECT_EQ(1u, rules.entries[7].fileKeys.size());

    const std::vector<CExcludeRule>& excludes = rules.entries[0].excludes;
    ASSERT_EQ(5u, excludes.size());
    EXPECT_EQ("", rules.entries[0].unusable.str());
    const struct
    {
        ExcludeKind kind;
        const char* path;
        std::vector<CString> patterns;
        const char* value;
    } expected[] = {
        {EXCLUDE_FILE, "C:\\dir", {"deleteme.log"}, ""},
        {EXCLUDE_PATH, "C:\\dir", {"*.bak", "*.log"}, ""},
        {EXCLUDE_FILE, "C:\\dir\\", {"a.txt", "b.txt"}, ""},
        {EXCLUDE_PATH, "C:\\dir\\sub\\", {}, ""},
        {EXCLUDE_REG, "HKCU\\Software\\A", {}, "Value"},
    };
    for (size_t i = 0; i < excludes.size(); ++i)
    {
        EXPECT_EQ(expected[i].kind, excludes[i].kind) << i;
        EXPECT_EQ(expected[i].path, excludes[i].path.str()) << i;
        EXPECT_EQ(expected[i].patterns, excludes[i].patterns) << i;
        EXPECT_EQ(expected[i].value, excludes[i].value.str()) << i;
    }
    EXPECT_EQ(0, rules.entries[1].unusable.Find("ExcludeKey1: ")) << rules.entries[1].unusable.str();
}

// The peer BleachBit's rule tests (its tests/TestWinapp.py, read for the results they
// expect): a folder holding deleteme.log, deleteme.bak and sub\deleteme.log, one FileKey
// with or without ExcludeKeys, and which of the three files stay, checked on the host.
TEST(RuleScanTest, FileKeysAndExclusionsAsThePeerTestsThem)
{
    const CString root = MakeTestRoot("rule-peer");
    SetEnvironmentVariableA("QVPEERDIR", root + "\\d");
    const struct
    {
        const char* keys;
        bool log, bak, subLog, folder;
        bool refused = false;
    } cases[] = {
        {"FileKey1=%Root%|deleteme.log", false, true, true, true},
        {"FileKey1=%Root%|dEleteme.LOG", false, true, true, true},
        {"FileKey1=%Root%|*.log;*.bak", false, false, true, true},
        {"FileKey1=%Root%|*.*", false, false, true, true},
        {"FileKey1=%Root%|*.*|RECURSE", false, false, false, true},
        {"FileKey1=%Root%|*.log|RECURSE", false, true, false, true},
        {"FileKey1=%Root%|*.*|REMOVESELF", false, false, false, false},
        {"FileKey1=%QvPeerDir%|deleteme.*", false, false, true, true},
        {"FileKey1=%Root%|deleteme.*|RECURSE", false, false, false, true},
        {"FileKey1=%Root%|eteme.*|RECURSE", true, true, true, true},
        {"FileKey1=%Root%|*eteme.*|RECURSE", false, false, false, true},
        {"FileKey1=%Root%|*eteme.*", false, false, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=FILE|%Root%|deleteme.log", true, false, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=FILE|%Root%\\|deleteme.log", true, false, true, true},
        {"FileKey1=%Root%|*eteme.*\nExcludeKey1=FILE|%Root%|deleteme.log", true, false, true, true},
        {"FileKey1=%Root%|*ete*.*\nExcludeKey1=PATH|%Root%|*ete*.lo?", true, false, true, true},
        {"FileKey1=%Root%|*eteme*\nExcludeKey1=PATH|%Root%|*notexist.*", false, false, true, true},
        {"FileKey1=%Root%|*eteme.log\nExcludeKey1=PATH|%Root%|do*.log", false, true, true, true},
        {"FileKey1=%Root%|*.log;*.bak|RECURSE\nExcludeKey1=PATH|%Root%|*.log", true, false, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=FILE|%Root%\\deleteme.log", true, false, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=PATH|%Root%|*.*", true, true, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=PATH|%Root%\\|*.*", true, true, true, true},
        {"FileKey1=%Root%|*.*|RECURSE\nExcludeKey1=PATH|%Root%|*.*", true, true, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=PATH|%Root%", true, true, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=PATH|%QvPeerDir%|*.*", true, true, true, true},
        {"FileKey1=%Root%|deleteme.*|RECURSE\nExcludeKey1=PATH|%Root%\\sub", false, false, true, true},
        {"FileKey1=%Root%|deleteme.*\nExcludeKey1=PATH|%Root%|*.exe;*.dll", false, false, true, true},
        {"FileKey1=%Root%|deleteme.*|RECURSE\nExcludeKey1=PATH|%Root%|*.bak;*.log", true, true, true, true},
        {"FileKey1=%Root%|deleteme.*|RECURSE\nExcludeKey1=PATH|C:\\doesnotexist|*.*\n"
         "ExcludeKey2=PATH|C:\\alsodoesnotexist|*.*",
         false, false, false, true},
        {"FileKey1=%Root%|deleteme.*|RECURSE\nExcludeKey1=PATH|%Root%|*.log\nExcludeKey2=PATH|%Root%|*.bak", true,
         true, true, true},
        {"FileKey1=%Root%|*.*|RECURSE\nExcludeKey1=PATH|%Root%\\s*", false, false, true, true},
        // An exclusion that cannot be honoured (its variable stands for nothing here, or it
        // cannot be read) keeps the whole entry from running.
        {"FileKey1=%Root%|*.*|RECURSE\nExcludeKey1=PATH|%NoSuchVariableHere%\\x|*.*", true, true, true, true, true},
        {"FileKey1=%Root%|*.*|RECURSE\nExcludeKey1=PATH", true, true, true, true, true},
    };
    for (const auto& c : cases)
    {
        const CString d = root + "\\d";
        RemoveTree(d);
        ASSERT_TRUE(MakeDir(d) && MakeDir(d + "\\sub"));
        for (const char* file : {"\\deleteme.log", "\\deleteme.bak", "\\sub\\deleteme.log"})
            ASSERT_TRUE(WriteBytes(d + file, "x"));
        CRuleSink sink;
        CFoundItemList list = ScanEntry(std::string("[Case *]\n") + c.keys + "\n", d, sink);
        CleanList(list);
        EXPECT_EQ(c.log, HostHas(d + "\\deleteme.log")) << c.keys;
        EXPECT_EQ(c.bak, HostHas(d + "\\deleteme.bak")) << c.keys;
        EXPECT_EQ(c.subLog, HostHas(d + "\\sub\\deleteme.log")) << c.keys;
        EXPECT_EQ(c.folder, HostHas(d)) << c.keys;
        EXPECT_EQ(c.refused ? 1u : 0u, sink.m_refused.size()) << c.keys;
    }

    // REMOVESELF through wildcards finds folders only; a file the key names is no folder.
    const CString t = root + "\\t";
    const struct
    {
        const char* key;
        const char* removed; // "" for nothing
    } removeSelf[] = {
        {"FileKey1=%Root%\\dir_c|*.*|REMOVESELF", "\\dir_c"},
        {"FileKey1=%Root%\\dir_c\\submarine_sandwich.log|*.*|REMOVESELF", ""},
        {"FileKey1=%Root%\\dir_a\\sub*|*.*|REMOVESELF", "\\dir_a\\subdir"},
        {"FileKey1=%Root%\\*c\\subdir|*.*|REMOVESELF", "\\dir_c\\subdir"},
        {"FileKey1=%Root%\\*doesnotexist\\subdir|*.*|REMOVESELF", ""},
        {"FileKey1=%Root%\\dir_c\\doesnotexist*|*.*|REMOVESELF", ""},
    };
    for (const auto& c : removeSelf)
    {
        RemoveTree(t);
        ASSERT_TRUE(MakeDir(t));
        for (const char* letter : {"a", "b", "c"})
        {
            const CString dir = t + "\\dir_" + letter;
            ASSERT_TRUE(MakeDir(dir) && MakeDir(dir + "\\subdir") && WriteBytes(dir + "\\subdir\\foo.log", "x"));
        }
        ASSERT_TRUE(WriteBytes(t + "\\dir_a\\submarine_sandwich.log", "x"));
        CRuleSink sink;
        CFoundItemList list = ScanEntry(std::string("[Case *]\n") + c.key + "\n", t, sink);
        CleanList(list);
        for (const char* kept : {"\\dir_a\\submarine_sandwich.log", "\\dir_b\\subdir\\foo.log"})
            EXPECT_TRUE(HostHas(t + kept)) << c.key;
        if (*c.removed)
            EXPECT_FALSE(HostHas(t + c.removed)) << c.key;
        else
            EXPECT_TRUE(HostHas(t + "\\dir_c\\subdir\\foo.log")) << c.key;
    }
    RemoveTree(root);
}

// Good entries of the community file that name what they clean: a program's folders found
// by a wildcard below an application-data folder, and single files named in one.
TEST(RuleScanTest, KeysThatNameAProgramsFolderOrFilesRun)
{
    const CString roaming = GetShellFolderPath(nullptr, CSIDL_APPDATA);
    const CString local = GetShellFolderPath(nullptr, CSIDL_LOCAL_APPDATA);
    for (const CString& folder : {roaming + "\\QvDiscordPTB", roaming + "\\QvDiscordPTB\\logs", local + "\\QvRadeonSoft",
                                  local + "\\QvRadeonSoft\\cache", local + "\\QvRadeonSoft\\cache\\qmlcache"})
        ASSERT_TRUE(MakeDir(folder));
    for (const CString& file : {roaming + "\\QvDiscordPTB\\logs\\a.log", local + "\\QvRadeonSoft\\cache\\qmlcache\\q.qmlc",
                                local + "\\qvoobelibMkey.log", local + "\\qvother.log"})
        ASSERT_TRUE(WriteBytes(file, "x"));
    CRuleSink sink;
    CFoundItemList list = ScanEntry("[Named *]\n"
                                    "FileKey1=%AppData%\\QvDiscord*\\logs|*.log\n"
                                    "FileKey2=%LocalAppData%\\QvRadeon*\\cache\\qmlcache|*.*\n"
                                    "FileKey3=%LocalAppData%|qvoobelibMkey.log\n",
                                    CString("C:\\unused"), sink);
    EXPECT_EQ(std::vector<std::string>{}, sink.m_refused);
    EXPECT_EQ(Sorted({(roaming + "\\QvDiscordPTB\\logs\\a.log").str(),
                      (local + "\\QvRadeonSoft\\cache\\qmlcache\\q.qmlc").str(), (local + "\\qvoobelibMkey.log").str()}),
              Sorted(Texts(list)));
    CleanList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(HostHas(local + "\\qvoobelibMkey.log"));
    EXPECT_TRUE(HostHas(local + "\\qvother.log"));
    EXPECT_TRUE(HostHas(local + "\\QvRadeonSoft\\cache\\qmlcache"));
    DeleteFileA(local + "\\qvother.log");
    RemoveTree(roaming + "\\QvDiscordPTB");
    RemoveTree(local + "\\QvRadeonSoft");
}

namespace
{
HKEY CreateKey(const std::wstring& name, DWORD options = 0)
{
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, name.c_str(), 0, nullptr, options, KEY_ALL_ACCESS | KEY_CREATE_LINK, nullptr,
                    &key, nullptr);
    return key;
}

// A registry link at name (below HKCU) to target (below HKCU).
bool MakeRegistryLink(const std::wstring& name, const std::wstring& target)
{
    HKEY link = CreateKey(name, REG_OPTION_CREATE_LINK);
    const std::wstring full =
        L"\\Registry\\User\\" + Utf8ToWide(CurrentUserSid(), CurrentUserSid().GetLength()) + L"\\" + target;
    const bool made = link && RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                             reinterpret_cast<const BYTE*>(full.data()),
                                             static_cast<DWORD>(full.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    if (link)
        RegCloseKey(link);
    return made;
}

void SetValue(const std::wstring& key, const wchar_t* name)
{
    HKEY opened = CreateKey(key);
    RegSetValueExW(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    RegCloseKey(opened);
}
} // namespace

// Registry links are never entered or deleted through; a tree that holds an excluded key
// loses everything but that key, what is below it and the keys on the way; a key and a
// value of the same name are both taken. Checked in the registry afterwards.
TEST(RuleScanTest, RegistryLinksTreesAndExclusionsInside)
{
    SetValue(L"Software\\QvVictim", L"precious");
    SetValue(L"Software\\QvRules2\\Tree\\Child", L"v");
    ASSERT_TRUE(MakeRegistryLink(L"Software\\QvRules2\\Linked", L"Software\\QvVictim"));
    ASSERT_TRUE(MakeRegistryLink(L"Software\\QvRules2\\Tree\\InnerLink", L"Software\\QvVictim"));
    SetValue(L"Software\\QvRules2\\Kept", L"gone1");
    SetValue(L"Software\\QvRules2\\Kept\\Other", L"gone2");
    SetValue(L"Software\\QvRules2\\Kept\\Keep", L"gone3");
    SetValue(L"Software\\QvRules2\\Kept\\Keep\\Deep", L"stays");
    SetValue(L"Software\\QvRules2\\Kept\\Keep\\Deep\\Below", L"stays too");
    SetValue(L"Software\\QvRules2\\Compression", L"ArcHistory");
    SetValue(L"Software\\QvRules2\\Compression\\ArcHistory", L"x");

    CRuleSink linked;
    CFoundItemList list = ScanEntry("[Link *]\nRegKey1=HKCU\\Software\\QvRules2\\Linked\\\n", CString("C:\\unused"), linked);
    EXPECT_TRUE(list.empty());
    ASSERT_EQ(1u, linked.m_refused.size());
    EXPECT_NE(std::string::npos, linked.m_refused[0].find("registry link")) << linked.m_refused[0];

    CRuleSink sink;
    list = ScanEntry("[Trees *]\n"
                     "RegKey1=HKCU\\Software\\QvRules2\\Tree\n"
                     "RegKey2=HKCU\\Software\\QvRules2\\Kept\n"
                     "RegKey3=HKCU\\Software\\QvRules2\\Compression|ArcHistory\n"
                     "RegKey4=HKCU\\Software\\QvRules2\\Compression\\ArcHistory\n"
                     "ExcludeKey1=REG|HKCU\\Software\\QvRules2\\Kept\\Keep\\Deep\n",
                     CString("C:\\unused"), sink);
    EXPECT_EQ(std::vector<std::string>{}, sink.m_refused);
    EXPECT_EQ(Sorted({"HKCU\\Software\\QvRules2\\Tree", "HKCU\\Software\\QvRules2\\Kept\\gone1",
                      "HKCU\\Software\\QvRules2\\Kept\\Other", "HKCU\\Software\\QvRules2\\Kept\\Keep\\gone3",
                      "HKCU\\Software\\QvRules2\\Compression\\ArcHistory",
                      "HKCU\\Software\\QvRules2\\Compression\\ArcHistory"}),
              Sorted(Texts(list)));
    CleanList(list);
    EXPECT_TRUE(list.empty());
    CRegKey key;
    for (const char* gone : {"Software\\QvRules2\\Tree", "Software\\QvRules2\\Kept\\Other",
                             "Software\\QvRules2\\Compression\\ArcHistory"})
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, gone, KEY_READ)) << gone;
    EXPECT_FALSE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules2\\Compression", "ArcHistory"));
    EXPECT_FALSE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules2\\Kept", "gone1"));
    EXPECT_FALSE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules2\\Kept\\Keep", "gone3"));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules2\\Kept\\Keep\\Deep", "stays"));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules2\\Kept\\Keep\\Deep\\Below", "stays too"));
    // What the links led to is whole; the link beside the tree is still there.
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvVictim", "precious"));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvRules2\\Linked", "precious"));
    key.Close();
    // The rest goes as a tree holding a link: the link goes, what it leads to stays.
    CRegistryPath rest;
    ASSERT_TRUE(ParseRegistryPath("HKCU\\Software\\QvRules2", rest));
    CRegistryTarget all(rest, CString(), false, std::make_shared<const CString>("t"));
    EXPECT_EQ(1, all.Clean()) << all.GetCleanNote().str();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.Open(HKEY_CURRENT_USER, "Software\\QvRules2", KEY_READ));
    EXPECT_TRUE(HasRegistryValue(HKEY_CURRENT_USER, "Software\\QvVictim", "precious"));
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QvVictim");
}
