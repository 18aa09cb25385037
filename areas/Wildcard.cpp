#include "Wildcard.h"

#include <windows.h>

std::wstring FoldedName(const wchar_t* name, size_t length)
{
    std::wstring folded(name, length);
    if (!folded.empty())
        CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

bool MatchesWildcard(const std::wstring& pattern, const std::wstring& name)
{
    if (pattern == L"*.*")
        return true;
    // Greedy with one step back to the last star: linear for the patterns rules use.
    size_t p = 0, n = 0, star = std::wstring::npos, resume = 0;
    while (n < name.size())
    {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n]))
        {
            ++p;
            ++n;
        }
        else if (p < pattern.size() && pattern[p] == L'*')
        {
            star = p++;
            resume = n;
        }
        else if (star != std::wstring::npos)
        {
            p = star + 1;
            n = ++resume;
        }
        else
            return false;
    }
    while (p < pattern.size() && pattern[p] == L'*')
        ++p;
    return p == pattern.size();
}

bool HasWildcard(const std::wstring& text) { return text.find_first_of(L"*?") != std::wstring::npos; }
