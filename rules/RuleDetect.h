// Whether a rule's application is on this machine, and the files and folders its paths
// name when they hold wildcards in any component ("%AppData%\Vendor\*\Logs").
#pragma once

#include "RuleFile.h"
#include "RuleVariables.h"

#include <string>
#include <unordered_map>
#include <vector>
#include <windows.h>

// The files and folders that exist at paths whose components may hold wildcards. Each
// folder is listed once and kept, so thousands of paths below a few folders cost a few
// listings. Paths holding a ".." component name nothing.
class CPathProbe
{
public:
    // The existing entries matching an absolute plain path, as the file system names
    // them; folders only when foldersOnly is set.
    std::vector<CString> Find(const CString& pattern, bool foldersOnly);
    bool Exists(const CString& pattern) { return !Find(pattern, false).empty(); }

private:
    struct CListed
    {
        std::wstring name;
        bool folder;
    };
    struct CListing
    {
        std::unordered_map<std::wstring, CListed> byFoldedName;
    };
    const CListing& List(const CString& folder);

    std::unordered_map<std::wstring, CListing> m_listings; // by the folded folder path
};

// Whether a path names its parent anywhere (a ".." component).
bool HasParentComponent(const CString& path);

struct COsVersion
{
    DWORD major;
    DWORD minor;
};
// The version the system says it is (not the one it tells programs without a manifest).
COsVersion CurrentOsVersion();

class CRuleDetector
{
public:
    CRuleDetector(const CRuleVariables& variables, COsVersion os) : m_variables(variables), m_os(os) {}

    // An entry is detected when its DetectOS range holds this system and, when it has any
    // Detect, DetectFile or SpecialDetect key, when one of them finds its key or file.
    bool IsDetected(const CRuleEntry& entry);

private:
    bool IsFileThere(const CString& path);
    bool IsOsInRange(const CString& range) const;

    const CRuleVariables& m_variables;
    COsVersion m_os;
    CPathProbe m_probe;
};
