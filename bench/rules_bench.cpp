// Reads and detects a rule file the size of the community winapp2.ini (about 1.8 MB and
// 4,000 entries, with its mix of keys: 14,118 FileKey, 3,677 RegKey, 3,319 DetectFile,
// 1,444 Detect and 86 ExcludeKey lines, a third of the file keys with REMOVESELF). The
// file is made here from made-up names, since the real one is not shipped or downloaded;
// its paths lead below the folders real entries use, where nothing of them is installed,
// plus one in ten that is. Prints the figures of the best of five runs. With ENTRIES, the
// file holds that many entries in the same mix, and every entry is also scanned, as
// "--apps=all" does (best of three).
//   rules_bench.exe FOLDER [ENTRIES]
#include "engine/RuleScan.h"
#include "engine/UserRules.h"
#include "rules/RuleDetect.h"
#include "rules/RuleFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <windows.h>

namespace
{
double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string MakeRules(const std::string& installed, int count)
{
    const char* roots[] = {"%LocalAppData%", "%AppData%", "%ProgramFiles%", "%ProgramData%", "%UserProfile%",
                           "%Documents%", "%LocalLowAppData%", "%WinDir%"};
    const char* sections[] = {"3021", "3022", "3023", "3024", "3025"};
    std::string text = "; made by rules_bench\n";
    int fileKeys = 0, regKeys = 0, detectFiles = 0, detects = 0, excludes = 0;
    // The community file's counts, grown with the entries.
    const int scale = count / 4000 > 1 ? count / 4000 : 1;
    for (int i = 0; i < count; ++i)
    {
        const std::string app = "Vendor" + std::to_string(i % 700) + "\\Application " + std::to_string(i);
        const std::string root = roots[i % 8];
        const std::string where = i % 10 == 0 ? installed : app;
        text += "[Application " + std::to_string(i) + " *]\nLangSecRef=" + sections[i % 5] + "\n";
        if (detectFiles < 3319 * scale && i % 6 != 5)
        {
            text += "DetectFile=" + root + "\\" + where + "\\app.exe\n";
            ++detectFiles;
        }
        if (detects < 1444 * scale && i % 3 == 0)
        {
            text += "Detect=HKCU\\Software\\" + app + "\n";
            ++detects;
        }
        for (int k = 1; k <= 4 && fileKeys < 14118 * scale; ++k, ++fileKeys)
            text += "FileKey" + std::to_string(k) + "=" + root + "\\" + app + "\\Cache" + std::to_string(k) +
                    "|*.tmp;*.log" + (k % 3 == 0 ? "|REMOVESELF" : k % 2 ? "|RECURSE" : "") + "\n";
        if (regKeys < 3677 * scale)
        {
            text += "RegKey1=HKCU\\Software\\" + app + "\\Recent File List\n";
            ++regKeys;
        }
        if (excludes < 86 * scale && i % 40 == 0)
        {
            text += "ExcludeKey1=FILE|" + root + "\\" + app + "\\Cache1\\|keep.log\n";
            ++excludes;
        }
        text += "\n";
    }
    return text;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: rules_bench.exe FOLDER [ENTRIES]\n");
        return 2;
    }
    const std::string folder = argv[1];
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\winapp2.ini";
    const int count = argc > 2 ? std::atoi(argv[2]) : 4000;
    const std::string text = MakeRules("Installed", count > 0 ? count : 4000);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);

    double bestParse = 1e9, bestDetect = 1e9;
    size_t entries = 0, detected = 0;
    for (int run = 0; run < 5; ++run)
    {
        const double start = Now();
        CRuleSet rules;
        CString error;
        LoadRuleFile(CString(path), rules, error);
        const double parsed = Now();
        const CRuleVariables variables = CRuleVariables::FromSystem();
        CRuleDetector detector(variables, CurrentOsVersion());
        detected = 0;
        for (const CRuleEntry& entry : rules.entries)
            detected += detector.IsDetected(entry) ? 1 : 0;
        const double done = Now();
        entries = rules.entries.size();
        bestParse = parsed - start < bestParse ? parsed - start : bestParse;
        bestDetect = done - parsed < bestDetect ? done - parsed : bestDetect;
    }
    std::printf("rule file %.2f MB, %zu entries, %zu detected\n", static_cast<double>(text.size()) / 1048576.0,
                entries, detected);
    std::printf("parse %.1f ms, detect %.1f ms, together %.1f ms (best of 5)\n", bestParse * 1000,
                bestDetect * 1000, (bestParse + bestDetect) * 1000);
    if (argc > 2)
    {
        // Every entry scanned, detected or not, as the console's "--apps=all" over a file
        // that lists them all.
        CRuleSet rules;
        CString error;
        LoadRuleFile(CString(path), rules, error);
        const CRuleVariables variables = CRuleVariables::FromSystem();
        double bestScan = 1e9;
        size_t found = 0;
        for (int run = 0; run < 3; ++run)
        {
            struct CQuiet : CTickable
            {
                void Tick() override {}
            } quiet;
            CScanRoots roots(nullptr);
            CFoundItemList list;
            const double start = Now();
            CRuleScanner scanner(roots, variables, list, quiet);
            for (const CRuleEntry& entry : rules.entries)
                scanner.Scan(entry);
            const double done = Now();
            found = list.size();
            bestScan = done - start < bestScan ? done - start : bestScan;
        }
        std::printf("scan of all %zu entries %.0f ms, %zu found (best of 3)\n", rules.entries.size(),
                    bestScan * 1000, found);
    }
    DeleteFileA(path.c_str());
    return 0;
}
