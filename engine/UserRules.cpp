#include "UserRules.h"

#include "ScanPaths.h"
#include "afx/File.h"
#include "rules/RuleDetect.h"

#include <shlobj.h>
#include <windows.h>

std::vector<CString> GetUserRuleFiles()
{
    std::vector<CString> files;
    bool exact = false;
    const CString program = GetRunningProgramPath(&exact);
    if (exact && program.ReverseFind('\\') > 0)
        files.push_back(program.Left(program.ReverseFind('\\')) + "\\winapp2.ini");
    const CString appData = GetShellFolderPath(nullptr, CSIDL_APPDATA);
    if (!appData.IsEmpty())
        files.push_back(appData + "\\Quorvantis\\winapp2.ini");
    return files;
}

namespace
{
CString SkippedLines(int count)
{
    return CString(std::to_string(count)) +
           (count == 1 ? " line that is not a rule was skipped" : " lines that are not rules were skipped");
}
} // namespace

void CUserRules::Load(const std::vector<CString>& files, CTickable& tick)
{
    for (const CString& file : files)
    {
        CString error;
        const int malformed = m_rules.malformedLines;
        if (!LoadRuleFile(file, m_rules, error))
            tick.ReportProblem(PROBLEM_UNREADABLE, file, error);
        else if (m_rules.malformedLines > malformed)
        {
            tick.ReportProblem(PROBLEM_NOTE, file, SkippedLines(m_rules.malformedLines - malformed));
        }
    }
    m_detected.clear();
    if (m_rules.entries.empty())
        return; // no rule file: nothing more to do at start-up
    const CRuleVariables variables = CRuleVariables::FromSystem();
    CRuleDetector detector(variables, CurrentOsVersion());
    for (const CRuleEntry& entry : m_rules.entries)
        if (detector.IsDetected(entry))
            m_detected.push_back(&entry);
}

CString CUserRules::GetNotes() const
{
    CString notes = m_rules.malformedLines ? SkippedLines(m_rules.malformedLines) : CString();
    const CRuleEntry* first = nullptr;
    size_t unusable = 0;
    for (const CRuleEntry* entry : m_detected)
        if (!entry->unusable.IsEmpty() && !unusable++)
            first = entry;
    if (first)
        notes += (notes.IsEmpty() ? "" : ".\n") + first->name +
                 (unusable == 1 ? CString(" does not run")
                                : " and " + CString(std::to_string(unusable - 1)) + " more do not run") +
                 ": an exclusion cannot be honoured";
    return notes.IsEmpty() ? notes : notes + ".";
}

const CRuleEntry* CUserRules::Find(const CString& name) const
{
    for (const CRuleEntry* entry : m_detected)
        if (entry->name.CompareNoCase(name) == 0)
            return entry;
    return nullptr;
}
