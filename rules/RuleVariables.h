// The variables of rule paths ("%LocalAppData%\Vendor\App"), resolved once through the
// wide calls so that any user name is kept. A variable may stand for more than one folder
// (%ProgramFiles% is both the 64-bit and the 32-bit one).
#pragma once

#include "afx/String.h"

#include <map>
#include <string>
#include <vector>

class CRuleVariables
{
public:
    // The system's folders for this user, then the environment for any other name.
    static CRuleVariables FromSystem();

    // Sets a variable (name without the percent signs, any case); for tests, values only
    // (no environment behind them).
    void Set(const CString& name, const std::vector<CString>& values);
    // The folders a variable stands for; empty when it has none.
    std::vector<CString> Get(const CString& name) const;

    // Every expansion of text, one per combination of the folders its variables stand
    // for; false (and out empty) when a variable stands for nothing.
    bool Expand(const CString& text, std::vector<CString>& out) const;

private:
    std::map<std::string, std::vector<CString>> m_values; // by the upper-case name
    bool m_environment = false; // unknown names are read from the environment
};
