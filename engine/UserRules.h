// The user's rule files (winapp2.ini), read and detected for a run. The program never
// downloads or ships one: it reads the file the user put beside the program or in the
// program's folder of the roaming application data.
#pragma once

#include "model/Tickable.h"
#include "rules/RuleFile.h"

#include <vector>

// winapp2.ini in the program's folder, then in "%APPDATA%\Quorvantis" (an entry there
// replaces one of its name).
std::vector<CString> GetUserRuleFiles();

class CUserRules
{
public:
    // Reads the files in order and keeps the entries detected on this machine. A file that
    // cannot be read is said as PROBLEM_UNREADABLE; lines that are not rules as a note.
    void Load(const std::vector<CString>& files, CTickable& tick);

    const std::vector<const CRuleEntry*>& GetDetected() const { return m_detected; }
    // Every entry read, detected here or not.
    const std::vector<CRuleEntry>& GetAll() const { return m_rules.entries; }
    // What the window says under the list of entries: the lines that are not rules, and
    // the detected entries that cannot run as written, a sentence a line; "" when there is
    // nothing to say.
    CString GetNotes() const;
    // The detected entry of that name (compared without regard to case), or nullptr.
    const CRuleEntry* Find(const CString& name) const;

private:
    CRuleSet m_rules;
    std::vector<const CRuleEntry*> m_detected;
};
