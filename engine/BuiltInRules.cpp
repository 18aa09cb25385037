// The catalogue's areas that today's Windows and Office added to, as cleaning rules in the
// format of the rule files. Each entry cleans with its area and shows its name as the type
// of what it finds.
#include "Catalogue.h"
#include "RuleScan.h"

namespace
{
const struct
{
    int areaId;
    const char* rules;
} kBuiltInRules[] = {
    // The jump lists behind the Recent folder; listed here when that folder is not the
    // one the Recent Docs walk empties.
    {AREA_RECENT_DOCS, "[Jump list]\n"
                       "FileKey1=%AppData%\\Microsoft\\Windows\\Recent\\AutomaticDestinations|*.automaticDestinations-ms\n"
                       "FileKey2=%AppData%\\Microsoft\\Windows\\Recent\\CustomDestinations|*.customDestinations-ms\n"},
    {AREA_FIND_HISTORY, "[Explorer search box history]\n"
                        "RegKey1=HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\WordWheelQuery\n"
                        "[Explorer address bar history]\n"
                        "RegKey1=HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths\n"},
    // Office 2007 to 2021 and 365, every application; 2013 on also keeps a list per account.
    {AREA_OFFICE, "[Office recent files]\n"
                  "RegKey1=HKCU\\Software\\Microsoft\\Office\\12.0\\*\\File MRU\n"
                  "RegKey2=HKCU\\Software\\Microsoft\\Office\\12.0\\*\\Place MRU\n"
                  "RegKey3=HKCU\\Software\\Microsoft\\Office\\14.0\\*\\File MRU\n"
                  "RegKey4=HKCU\\Software\\Microsoft\\Office\\14.0\\*\\Place MRU\n"
                  "RegKey5=HKCU\\Software\\Microsoft\\Office\\15.0\\*\\File MRU\n"
                  "RegKey6=HKCU\\Software\\Microsoft\\Office\\15.0\\*\\Place MRU\n"
                  "RegKey7=HKCU\\Software\\Microsoft\\Office\\15.0\\*\\User MRU\\*\\File MRU\n"
                  "RegKey8=HKCU\\Software\\Microsoft\\Office\\15.0\\*\\User MRU\\*\\Place MRU\n"
                  "RegKey9=HKCU\\Software\\Microsoft\\Office\\16.0\\*\\File MRU\n"
                  "RegKey10=HKCU\\Software\\Microsoft\\Office\\16.0\\*\\Place MRU\n"
                  "RegKey11=HKCU\\Software\\Microsoft\\Office\\16.0\\*\\User MRU\\*\\File MRU\n"
                  "RegKey12=HKCU\\Software\\Microsoft\\Office\\16.0\\*\\User MRU\\*\\Place MRU\n"},
};
} // namespace

const CRuleSet& GetBuiltInRules()
{
    static const CRuleSet rules = [] {
        CRuleSet set;
        for (const auto& area : kBuiltInRules)
            ParseRules(area.rules, strlen(area.rules), set, area.areaId);
        return set;
    }();
    return rules;
}
