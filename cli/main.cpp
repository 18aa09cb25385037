// quorvantis-cli: the scan and clean engine without windows.
//   quorvantis-cli.exe [--areas=LIST] [--sections=LIST] [--apps=NAMES] [--rules=FILE] [--clean] [--no-shred]
//                      [--quiet]
//   quorvantis-cli.exe --list-apps [--rules=FILE]
//   quorvantis-cli.exe --check-rules [--rules=FILE]
//   quorvantis-cli.exe --help | --version
//   quorvantis-cli.exe --remove-schedule
// Prints one line per found item (section, type, text, separated by tabs), then with
// --clean one "left" line per item still listed, and a closing count line. Places
// that could not be read or were left alone, and a cancel, are told on stderr; at a
// console, stderr also shows a progress line that is erased at the end.
// Exit status: 0 all done, 1 items left or places unread after a clean, or cancelled,
// 2 bad argument.
#include "engine/Catalogue.h"
#include "engine/CleanRun.h"
#include "engine/KeepFile.h"
#include "engine/ScanRun.h"
#include "engine/RuleScan.h"
#include "engine/UserRules.h"
#include "areas/PathText.h"
#include "model/CleanHost.h"
#include "scheduler/Scheduler.h"
#include "resources/Version.h"
#include "resources/resource.h"
#include "afx/Com.h"
#include "afx/File.h"
#include "afx/Wnd.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <map>
#include <set>
#include <string>

namespace
{
volatile LONG g_cancel = 0;

BOOL WINAPI OnConsoleControl(DWORD event)
{
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
    {
        InterlockedExchange(&g_cancel, 1);
        return TRUE;
    }
    return FALSE;
}

bool IsCancelRequested()
{
    return InterlockedCompareExchange(&g_cancel, 0, 0) != 0;
}

const char kUsage[] =
    "usage: quorvantis-cli.exe [--areas=LIST|all] [--sections=LIST] [--apps=NAMES|all] [--rules=FILE]\n"
    "                          [--clean] [--no-shred] [--quiet]\n"
    "                          [--keep-site=DOMAIN ...] [--no-keep]\n"
    "       quorvantis-cli.exe --list-apps [--rules=FILE]\n"
    "       quorvantis-cli.exe --check-rules [--rules=FILE]\n"
    "       quorvantis-cli.exe --help | --version\n"
    "       quorvantis-cli.exe --remove-schedule\n"
    "\n"
    "Scans the places where Windows, applications and browsers keep traces of what you\n"
    "did, and prints one line per trace found: section, type and text, separated by tabs.\n"
    "\n"
    "  --areas=LIST     comma-separated area ids, or all (default: every area but 717)\n"
    "  --sections=LIST  comma-separated section indexes (default: 0,1,2)\n"
    "  --apps=NAMES     also scan these entries of the rule files (winapp2.ini), separated\n"
    "                   by ';' and named as in their brackets, or all, in section 1\n"
    "  --rules=FILE     read this rule file instead of the winapp2.ini files beside the\n"
    "                   program and in %APPDATA%\\Quorvantis\n"
    "  --list-apps      print one 'app' line per entry of the rule files found on this\n"
    "                   machine, and exit\n"
    "  --check-rules    look at every entry of the rule files, found here or not, clean\n"
    "                   nothing, and print each key that is refused and a count by kind\n"
    "  --clean          remove what the scan found; print a 'left' line per item that stays\n"
    "  --no-shred       delete files without overwriting them first\n"
    "  --quiet          print only the closing count line (and the 'left' lines)\n"
    "  --keep-site=DOMAIN  keep this site's cookies and site data (and its sub-domains'),\n"
    "                   besides the sites and places of %APPDATA%\\Quorvantis\\keep.cfg;\n"
    "                   may be given more than once\n"
    "  --no-keep        do not read keep.cfg (only --keep-site sites are kept)\n"
    "  --remove-schedule  delete the scheduled task \"Quorvantis\" when it starts the\n"
    "                   Quorvantis.exe beside this program (as its uninstaller does);\n"
    "                   a task of that name that starts anything else is left\n"
    "\n"
    "Exit status: 0 done; 1 items left or places unread after a clean, or cancelled\n"
    "(Ctrl+C); 2 bad argument.\n";

void PrintHelp()
{
    std::fputs(kUsage, stdout);
    std::fputs("\nSections:\n", stdout);
    for (int section = 0; section < SECTION_COUNT; ++section)
        std::printf("  %d  %s\n", section, CString::FromResource(IDS_SECTION_WINDOWS + section).GetString());
    std::fputs("\nAreas:\n", stdout);
    int count = 0;
    const CAreaInfo* areas = GetAreaTable(count);
    for (int i = 0; i < count; ++i)
        std::printf("  %d  %s\n", areas[i].areaId,
                    CString::FromResource(IDS_AREA_RECENT_DOCS + areas[i].areaId - AREA_FIRST).GetString());
}

struct COptions
{
    std::set<int> areas;
    std::set<int> sections = {SECTION_WINDOWS, SECTION_APPLICATIONS, SECTION_BROWSERS};
    bool clean = false;
    bool shred = true;
    bool quiet = false;
    bool listApps = false;
    bool checkRules = false;
    bool allApps = false;
    std::vector<CString> apps; // entry names, as --apps gives them
    bool rulesGiven = false;
    CString rulesFile;
    bool readKeepFile = true;
    std::vector<std::string> keepSites; // as --keep-site gives them, normalized
};

// The progress line on stderr, shown only when stderr is a console, redrawn at most ten
// times a second, and erased before anything else is written.
class CProgressLine
{
public:
    CProgressLine() : m_shown(false), m_lastDraw(0), m_width(0)
    {
        DWORD mode = 0;
        m_enabled = GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != FALSE;
    }
    // Whether a redraw is due (cheap: asked at every unit of work).
    bool IsDue() const { return m_enabled && (!m_shown || GetTickCount64() - m_lastDraw >= 100); }
    void Show(const std::string& text, bool force = false)
    {
        if (!m_enabled || (!force && !IsDue()))
            return;
        ULONGLONG now = GetTickCount64();
        if (!m_shown)
            std::fflush(stdout); // what stdout holds goes before the line
        m_lastDraw = now;
        std::string line = text.size() > 78 ? text.substr(0, 78) : text;
        size_t pad = m_width > line.size() ? m_width - line.size() : 0;
        Write("\r" + line + std::string(pad, ' '));
        m_width = line.size();
        m_shown = true;
    }
    void Erase()
    {
        if (!m_shown)
            return;
        Write("\r" + std::string(m_width, ' ') + "\r");
        m_shown = false;
        m_width = 0;
    }

private:
    // One console write per redraw.
    static void Write(const std::string& text)
    {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fflush(stderr);
    }

    bool m_enabled;
    bool m_shown;
    ULONGLONG m_lastDraw;
    size_t m_width;
};

// The console's scan context and clean host: no window, no notice, no progress bar;
// Ctrl+C stops the scan or the clean.
class CConsoleHost : public IScanContext, public CHeadlessCleanHost
{
public:
    CConsoleHost(const COptions& options, const CSectionList& sections)
        : CHeadlessCleanHost(options.shred), m_options(options), m_sections(sections), m_problems(0),
          m_ticks(0), m_total(0), m_cleaning(false)
    {
        ResolveScanPaths(m_paths, nullptr);
    }

    bool IsAreaChecked(int areaId) const override { return m_options.areas.count(areaId) != 0; }
    CKeepChoice GetKeepChoice() const override { return m_keep; }
    void SetKeepChoice(const CKeepChoice& keep) { m_keep = keep; }
    std::vector<const CRuleEntry*> GetCheckedRules() const override { return m_checkedRules; }
    void SetCheckedRules(const std::vector<const CRuleEntry*>& rules) { m_checkedRules = rules; }
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return nullptr; }
    void RefreshList() override {}
    bool IsCancelled() const override { return IsCancelRequested(); }
    bool IsStopRequested() const override { return IsCancelRequested(); }

    void Tick() override
    {
        ++m_ticks;
        if (!m_progress.IsDue())
            return;
        char text[160];
        if (m_cleaning)
            std::snprintf(text, sizeof(text), "Cleaning: %d of %d", m_ticks, m_total);
        else
            std::snprintf(text, sizeof(text), "Scanning %s: %d found", ScanningSectionName().GetString(),
                          CountFoundItems(m_sections));
        m_progress.Show(text);
    }

    // Each place and reason is said once a run, however many areas met it (a database
    // every browser area reads).
    void ReportProblem(ProblemKind kind, const CString& place, const CString& reason) override
    {
        if (kind != PROBLEM_NOTE)
            ++m_problems;
        const char* what = kind == PROBLEM_REFUSED       ? "refused\t"
                           : kind == PROBLEM_SKIPPED     ? "skipped "
                           : kind == PROBLEM_NOT_CLEANED ? "could not clean "
                           : kind == PROBLEM_NOTE        ? "note "
                                                         : "could not read ";
        const CString line = what + place + (kind == PROBLEM_REFUSED ? "\t" : ": ") + reason;
        if (m_said.insert(line.str()).second)
            SayOnStderr(line);
    }

    // One line on stderr, after the progress line is erased and stdout flushed.
    void SayOnStderr(const CString& text)
    {
        m_progress.Erase();
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", text.GetString());
        std::fflush(stderr);
    }

    void BeginClean(int total)
    {
        m_cleaning = true;
        m_ticks = 0;
        m_total = total;
        m_progress.Show("Cleaning: 0 of " + std::to_string(total), true);
    }
    void EndProgress() override { m_progress.Erase(); }
    int GetProblemCount() const { return m_problems; }

private:
    CString ScanningSectionName() const
    {
        for (const CScanItemPtr& section : m_sections)
            if (section->GetStatus() == SS_SCANNING)
                return section->GetName();
        return CString();
    }

    const COptions& m_options;
    const CSectionList& m_sections;
    std::vector<const CRuleEntry*> m_checkedRules;
    CKeepChoice m_keep;
    CScanPaths m_paths;
    CProgressLine m_progress;
    int m_problems;
    std::set<std::string> m_said; // the lines said on stderr
    int m_ticks;
    int m_total;
    bool m_cleaning;
};

// Parses a comma-separated list of integers within [low, high]; false on anything else.
bool ParseList(const std::string& text, int low, int high, std::set<int>& out)
{
    out.clear();
    size_t start = 0;
    while (start <= text.size())
    {
        size_t comma = text.find(',', start);
        std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string::npos)
            return false;
        int value = std::atoi(part.c_str());
        if (value < low || value > high)
            return false;
        out.insert(value);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return !out.empty();
}

int BadArgument(const char* arg)
{
    std::fflush(stdout);
    std::fprintf(stderr,
                 "quorvantis-cli: bad argument '%s' (usage: quorvantis-cli.exe [--areas=LIST|all] "
                 "[--sections=LIST] [--clean] [--no-shred] [--quiet]; see --help)\n",
                 arg);
    std::fflush(stderr);
    return 2;
}

// Control characters would break the one-line-per-item output.
std::string OneLine(const CString& text)
{
    std::string line = text.str();
    for (char& ch : line)
        if (static_cast<unsigned char>(ch) < 0x20)
            ch = ' ';
    return line;
}

void PrintItem(const char* prefix, int section, const CCleanTargetPtr& item)
{
    std::printf("%s%d\t%s\t%s\n", prefix, section, item->GetTypeName().GetString(),
                OneLine(item->GetDisplayText()).c_str());
}

// Deletes the job that starts the Quorvantis.exe beside this program, and only that one.
// 0 when no job of that program is left, 1 when it could not be deleted.
int RemoveSchedule()
{
    bool exact = false;
    const CString path = GetRunningProgramPath(&exact);
    if (path.IsEmpty() || !exact)
        return 1;
    CScheduler scheduler(CScheduler::WorkingFolderOf(path) + "\\Quorvantis.exe");
    CString error;
    CJobSchedule schedule;
    if (!scheduler.Open(error))
    {
        // Without a Task Scheduler there is no job of ours either.
        std::fprintf(stderr, "skipped the scheduled task: %s\n", error.GetString());
        return 0;
    }
    const JobOwner owner = scheduler.Read(schedule);
    if (owner == JOB_NONE)
        return 0;
    if (owner == JOB_FOREIGN)
    {
        std::fprintf(stderr, "skipped the scheduled task \"Quorvantis\": it starts another program\n");
        return 0;
    }
    schedule.mode = 0;
    if (scheduler.Apply(schedule, error))
        return 0;
    std::fprintf(stderr, "could not delete the scheduled task \"Quorvantis\": %s\n", error.GetString());
    return 1;
}

// Parses the arguments; returns -1 to go on, or the exit status.
int ParseArguments(int argc, char** argv, COptions& options)
{
    int areaCount = 0;
    const CAreaInfo* areas = GetAreaTable(areaCount);
    for (int i = 0; i < areaCount; ++i)
        if (areas[i].checkedAtStart)
            options.areas.insert(areas[i].areaId);

    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (arg == "--help")
        {
            PrintHelp();
            return 0;
        }
        if (arg == "--remove-schedule")
            return RemoveSchedule();
        if (arg == "--version")
        {
            std::printf("quorvantis-cli %s\n", QV_VERSION_TEXT);
            return 0;
        }
        if (arg.rfind("--areas=", 0) == 0)
        {
            std::string list = arg.substr(8);
            if (list == "all")
            {
                options.areas.clear();
                for (int a = 0; a < areaCount; ++a)
                    options.areas.insert(areas[a].areaId);
            }
            else if (!ParseList(list, AREA_FIRST, AREA_LAST, options.areas))
                return BadArgument(argv[i]);
        }
        else if (arg.rfind("--sections=", 0) == 0)
        {
            if (!ParseList(arg.substr(11), SECTION_WINDOWS, SECTION_WIPE, options.sections))
                return BadArgument(argv[i]);
        }
        else if (arg.rfind("--apps=", 0) == 0)
        {
            options.apps.clear();
            const std::string list = arg.substr(7);
            options.allApps = list == "all";
            for (size_t start = 0; !options.allApps && start <= list.size();)
            {
                size_t end = list.find(';', start);
                if (end == std::string::npos)
                    end = list.size();
                if (end > start)
                    options.apps.push_back(CString(list.substr(start, end - start)));
                start = end + 1;
            }
            if (!options.allApps && options.apps.empty())
                return BadArgument(argv[i]);
        }
        else if (arg.rfind("--rules=", 0) == 0)
        {
            options.rulesGiven = true;
            options.rulesFile = arg.substr(8);
            if (options.rulesFile.IsEmpty() || !IsFilePath(options.rulesFile))
                return BadArgument(argv[i]);
        }
        else if (arg == "--list-apps")
            options.listApps = true;
        else if (arg == "--check-rules")
            options.checkRules = true;
        else if (arg == "--clean")
            options.clean = true;
        else if (arg == "--no-shred")
            options.shred = false;
        else if (arg == "--quiet")
            options.quiet = true;
        else if (arg.rfind("--keep-site=", 0) == 0)
        {
            const std::string site = CKeepList::NormalizeSite(arg.substr(12));
            if (site.empty())
                return BadArgument(argv[i]);
            options.keepSites.push_back(site);
        }
        else if (arg == "--no-keep")
            options.readKeepFile = false;
        else
            return BadArgument(argv[i]);
    }
    return -1;
}

// What the framework catches (on a worker thread) is said on stderr.
void SayUnexpectedError(const char* where, const char* what)
{
    std::fflush(stdout);
    std::fprintf(stderr, "quorvantis-cli: unexpected error in %s: %s\n", where, what);
    std::fflush(stderr);
}

// keep.cfg (unless --no-keep) with the --keep-site sites.
CKeepChoice ReadKeepChoice(const COptions& options, const CScanPaths& paths)
{
    CKeepChoice choice;
    auto keep = std::make_shared<CKeepList>();
    if (options.readKeepFile && !paths[SP_APPDATA].IsEmpty())
    {
        const CKeepFile file(paths[SP_APPDATA]);
        if (file.Load(*keep, choice.problem) != KEEP_READ && !choice.problem.IsEmpty())
            choice.place = file.GetPath();
    }
    for (const std::string& site : options.keepSites)
        keep->AddSite(site);
    choice.list = keep;
    return choice;
}

int Run(int argc, char** argv);

// The kinds of refusal, by what their reasons say, in the order they are counted.
const struct
{
    const char* says;
    const char* kind;
} kRefusalKinds[] = {
    {"does not run without it", "an exclusion that cannot be honoured"},
    {"registry link", "a registry link"},
    {"another user's", "another user's part of the registry"},
    {"not a registry key", "not a registry key"},
    {"a hive root", "a registry key the system keeps"},
    {": is HK", "a registry key the system keeps"},
    {": holds HK", "a registry key the system keeps"},
    {"from a key that", "wildcards over a registry key the system keeps"},
    {"searches with wildcards", "wildcards over a protected folder"},
    {"names a parent folder", "not a plain full path"},
    {"not a full path", "not a plain full path"},
    {"", "a protected folder"},
};

// Looks at every entry of the rule files, detected or not, as a scan would (nothing is
// listed for a clean), and prints each refusal and how many entries each kind stopped.
int CheckRules(const CUserRules& rules)
{
    struct CRefusals : CTickable
    {
        void Tick() override {}
        void ReportProblem(ProblemKind kind, const CString& place, const CString& reason) override
        {
            if (kind != PROBLEM_REFUSED)
                return;
            std::printf("refused\t%s\t%s\n", OneLine(place).c_str(), OneLine(reason).c_str());
            for (const auto& known : kRefusalKinds)
                if (reason.Find(known.says) >= 0)
                {
                    entries[known.kind].insert(place.str());
                    break;
                }
            refused.insert(place.str());
        }
        std::map<std::string, std::set<std::string>> entries;
        std::set<std::string> refused;
    } refusals;
    const CRuleVariables variables = CRuleVariables::FromSystem();
    CScanRoots roots(nullptr);
    CFoundItemList list;
    CRuleScanner scanner(roots, variables, list, refusals);
    for (const CRuleEntry& entry : rules.GetAll())
    {
        scanner.Scan(entry);
        list.clear();
    }
    std::printf("refused %zu of %zu entries\n", refusals.refused.size(), rules.GetAll().size());
    std::set<std::string> said;
    for (const auto& known : kRefusalKinds)
        if (refusals.entries.count(known.kind) && said.insert(known.kind).second)
            std::printf("%s\t%zu\n", known.kind, refusals.entries[known.kind].size());
    std::fflush(stdout);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    AfxSetExceptionReporter(SayUnexpectedError);
    try
    {
        return Run(argc, argv);
    }
    catch (...)
    {
        AfxReportCurrentException("the run");
        return 1;
    }
}

namespace
{
// Output in whole blocks, not a byte per call; every name printed in UTF-8, as the
// program holds it.
void SetUpOutput()
{
    static char outputBuffer[65536], errorBuffer[4096];
    std::setvbuf(stdout, outputBuffer, _IOFBF, sizeof(outputBuffer));
    std::setvbuf(stderr, errorBuffer, _IOFBF, sizeof(errorBuffer)); // each message is flushed whole
    _setmode(_fileno(stdout), _O_BINARY);
    DWORD consoleMode = 0;
    if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &consoleMode) ||
        GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &consoleMode))
        SetConsoleOutputCP(CP_UTF8);
}

void PrintItems(const CSectionList& sections, const char* prefix)
{
    for (const CScanItemPtr& section : sections)
        for (const CCleanTargetPtr& item : section->GetFoundItems())
            PrintItem(prefix, section->GetSectionIndex(), item);
}

// Cleans what the scan found, prints what is left and the counts; the exit status.
int CleanAndReport(CSectionList& sections, CConsoleHost& host, int found, bool scanCancelled)
{
    CRunningBrowsers browsers = FindRunningBrowsers();
    if (browsers.Any())
        host.SayOnStderr(BuildBrowserAdvice(browsers).TrimRight('\n'));
    if (!scanCancelled)
    {
        std::fflush(stdout);
        host.BeginClean(found);
        CleanSections(sections, host, &host);
        host.EndProgress();
    }
    const int left = CountFoundItems(sections);
    PrintItems(sections, "left\t");
    std::printf("found %d, cleaned %d, left %d\n", found, found - left, left);
    // Places that could not be read may hold traces that were never listed.
    return left > 0 || host.GetProblemCount() > 0 ? 1 : 0;
}

// The entries of the rule files that --apps names; a name no detected entry has is said.
std::vector<const CRuleEntry*> ChooseApps(const COptions& options, const CUserRules& rules, CConsoleHost& host)
{
    if (options.allApps)
        return rules.GetDetected();
    std::vector<const CRuleEntry*> chosen;
    for (const CString& name : options.apps)
    {
        const CRuleEntry* entry = rules.Find(name);
        if (entry)
            chosen.push_back(entry);
        else
            host.ReportProblem(PROBLEM_SKIPPED, name, "no entry of that name in the rule files is found on this machine");
    }
    return chosen;
}

int Run(int argc, char** argv)
{
    SetUpOutput();
    COptions options;
    int status = ParseArguments(argc, argv, options);
    if (status >= 0)
    {
        std::fflush(stdout);
        return status;
    }
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    CComInit com;
    com.Initialize();

    std::vector<CString> names;
    for (int section = 0; section < SECTION_COUNT; ++section)
        names.push_back(CString::FromResource(IDS_SECTION_WINDOWS + section));
    CSectionList sections = CreateSections(names);
    for (const CScanItemPtr& section : sections)
        section->SetChecked(options.sections.count(section->GetSectionIndex()) ? 1 : 0);
    CConsoleHost host(options, sections);
    host.SetKeepChoice(ReadKeepChoice(options, host.GetScanPaths()));

    // Rule files are read only when asked for: a run without them costs nothing more.
    CUserRules rules;
    if (options.listApps || options.checkRules || options.allApps || !options.apps.empty())
    {
        rules.Load(options.rulesGiven ? std::vector<CString>{options.rulesFile} : GetUserRuleFiles(), host);
        if (options.checkRules)
            return CheckRules(rules);
        if (options.listApps)
        {
            for (const CRuleEntry* entry : rules.GetDetected())
                std::printf("app\t%s\n", OneLine(entry->name).c_str());
            std::fflush(stdout);
            return 0;
        }
        host.SetCheckedRules(ChooseApps(options, rules, host));
    }

    ScanSections(sections, host);
    host.EndProgress();
    const bool scanCancelled = IsCancelRequested();
    const int found = CountFoundItems(sections);
    if (!options.quiet)
        PrintItems(sections, "");
    if (options.clean)
        status = CleanAndReport(sections, host, found, scanCancelled);
    else
    {
        std::printf("found %d\n", found);
        status = 0;
    }
    if (IsCancelRequested())
    {
        host.SayOnStderr("cancelled");
        status = 1;
    }
    std::fflush(stdout);
    sections.clear(); // the found items go before COM does
    return status;
}
} // namespace
