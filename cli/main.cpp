// quorvantis-cli: the scan and clean engine without windows.
//   quorvantis-cli.exe [--areas=LIST] [--sections=LIST] [--clean] [--no-shred]
// Prints one line per found item (section, type, text, separated by tabs), then with
// --clean one "left" line per item still listed, and a closing count line.
// Exit status: 0 nothing left or no clean asked, 1 items left, 2 bad argument.
#include "engine/Catalogue.h"
#include "engine/CleanHost.h"
#include "engine/CleanRun.h"
#include "engine/ScanRun.h"
#include "resources/resource.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
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

struct COptions
{
    std::set<int> areas;
    std::set<int> sections = {SECTION_WINDOWS, SECTION_APPLICATIONS, SECTION_BROWSERS};
    bool clean = false;
    bool shred = true;
};

// The console's scan context and clean host: no window, no notice, no progress bar.
class CConsoleHost : public IScanContext, public CHeadlessCleanHost
{
public:
    CConsoleHost(const COptions& options) : CHeadlessCleanHost(options.shred), m_options(options)
    {
        ResolveScanPaths(m_paths, nullptr);
    }

    bool IsAreaChecked(int controlId) const override { return m_options.areas.count(controlId) != 0; }
    const CScanPaths& GetScanPaths() const override { return m_paths; }
    HWND GetOwnerWindow() const override { return nullptr; }
    void Tick() override {}
    void RefreshList() override {}
    bool IsCancelled() const override { return g_cancel != 0; }

private:
    const COptions& m_options;
    CScanPaths m_paths;
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
    std::fprintf(stderr,
                 "quorvantis-cli: bad argument '%s' (usage: quorvantis-cli.exe [--areas=LIST|all] "
                 "[--sections=LIST] [--clean] [--no-shred])\n",
                 arg);
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
} // namespace

int main(int argc, char** argv)
{
    COptions options;
    int areaCount = 0;
    const CAreaInfo* areas = GetAreaTable(areaCount);
    for (int i = 0; i < areaCount; ++i)
        if (areas[i].checkedAtStart)
            options.areas.insert(areas[i].controlId);

    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (arg.rfind("--areas=", 0) == 0)
        {
            std::string list = arg.substr(8);
            if (list == "all")
            {
                options.areas.clear();
                for (int a = 0; a < areaCount; ++a)
                    options.areas.insert(areas[a].controlId);
            }
            else if (!ParseList(list, IDC_AREA_FIRST, IDC_AREA_LAST, options.areas))
                return BadArgument(argv[i]);
        }
        else if (arg.rfind("--sections=", 0) == 0)
        {
            if (!ParseList(arg.substr(11), SECTION_WINDOWS, SECTION_WIPE, options.sections))
                return BadArgument(argv[i]);
        }
        else if (arg == "--clean")
            options.clean = true;
        else if (arg == "--no-shred")
            options.shred = false;
        else
            return BadArgument(argv[i]);
    }

    _setmode(_fileno(stdout), _O_BINARY);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    HRESULT com = CoInitialize(nullptr);

    CConsoleHost host(options);
    CSectionList sections = CreateSections();
    for (const CScanItemPtr& section : sections)
        section->SetChecked(options.sections.count(section->GetSectionIndex()) ? 1 : 0);

    ScanSections(sections, host);
    int found = CountFoundItems(sections);
    for (const CScanItemPtr& section : sections)
        for (const CCleanTargetPtr& item : section->GetFoundItems())
            PrintItem("", section->GetSectionIndex(), item);

    int status = 0;
    if (!options.clean)
        std::printf("found %d\n", found);
    else
    {
        CRunningBrowsers browsers = FindRunningBrowsers();
        if (browsers.Any())
            std::fputs(BuildBrowserAdvice(browsers), stderr);
        InterlockedExchange(&g_cancel, 0);
        CleanSections(sections, host, &host);
        int left = CountFoundItems(sections);
        for (const CScanItemPtr& section : sections)
            for (const CCleanTargetPtr& item : section->GetFoundItems())
                PrintItem("left\t", section->GetSectionIndex(), item);
        std::printf("found %d, cleaned %d, left %d\n", found, found - left, left);
        status = left > 0 ? 1 : 0;
    }
    std::fflush(stdout);
    sections.clear();
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
