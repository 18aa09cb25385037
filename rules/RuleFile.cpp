#include "RuleFile.h"

#include "afx/Handle.h"
#include "areas/PathText.h"

#include <cstring>
#include <map>
#include <string>
#include <windows.h>

namespace
{
// A rule file is text of a few megabytes; a larger one is not a rule file.
const LONGLONG kMaxRuleFile = 64 * 1024 * 1024;

// The sections of the LangSecRef numbers, as the community file's documentation lists them.
const struct
{
    const char* number;
    const char* name;
} kLangSecRefs[] = {
    {"3001", "Internet Explorer"},
    {"3005", "Microsoft Edge (legacy)"},
    {"3006", "Microsoft Edge"},
    {"3021", "Applications"},
    {"3022", "Internet"},
    {"3023", "Multimedia"},
    {"3024", "Utilities"},
    {"3025", "Windows"},
    {"3026", "Firefox"},
    {"3027", "Opera"},
    {"3028", "Safari"},
    {"3029", "Google Chrome"},
    {"3030", "Thunderbird"},
    {"3031", "Windows Store"},
    {"3032", "CCleaner Browser"},
    {"3033", "Vivaldi"},
    {"3034", "Brave"},
    {"3035", "Opera GX"},
    {"3036", "Spotify"},
    {"3037", "Avast Secure Browser"},
    {"3038", "AVG Secure Browser"},
    {"3039", "Arc Browser"},
    {"3040", "iTunes"},
    {"3042", "WhatsApp"},
    {"3043", "Norton Private Browser"},
    {"3044", "Avira Secure Browser"},
};

// A piece of the text, without copying it.
struct CPiece
{
    const char* at;
    size_t size;
    CString Text() const { return CString(at, static_cast<int>(size)); }
    bool Is(const char* word) const { return size == strlen(word) && _strnicmp(at, word, size) == 0; }
};

CPiece Trimmed(const char* at, size_t size)
{
    while (size && (*at == ' ' || *at == '\t'))
        ++at, --size;
    while (size && (at[size - 1] == ' ' || at[size - 1] == '\t' || at[size - 1] == '\r'))
        --size;
    return {at, size};
}

// The parts of a value between "|".
std::vector<CPiece> SplitBars(const CPiece& value)
{
    std::vector<CPiece> parts;
    const char* start = value.at;
    const char* end = value.at + value.size;
    for (const char* at = start;; ++at)
    {
        if (at == end || *at == '|')
        {
            parts.push_back(Trimmed(start, static_cast<size_t>(at - start)));
            if (at == end)
                break;
            start = at + 1;
        }
    }
    return parts;
}

// A key's name without its number: "FileKey12" gives "FileKey"; false when what follows
// the letters is not a number.
bool SplitKeyName(const CPiece& key, CPiece& base)
{
    size_t letters = 0;
    while (letters < key.size && !(key.at[letters] >= '0' && key.at[letters] <= '9'))
        ++letters;
    for (size_t i = letters; i < key.size; ++i)
        if (key.at[i] < '0' || key.at[i] > '9')
            return false;
    base = {key.at, letters};
    return true;
}

// The names of a pattern list ("*.log;*.tmp"), without empty ones.
std::vector<CString> SplitPatterns(const CPiece& list)
{
    std::vector<CString> patterns;
    const char* start = list.at;
    const char* end = list.at + list.size;
    for (const char* at = start;; ++at)
    {
        if (at == end || *at == ';')
        {
            const CPiece pattern = Trimmed(start, static_cast<size_t>(at - start));
            if (pattern.size)
                patterns.push_back(pattern.Text());
            if (at == end)
                break;
            start = at + 1;
        }
    }
    return patterns;
}

bool ParseFileKey(const CPiece& value, CFileKeyRule& rule)
{
    std::vector<CPiece> parts = SplitBars(value);
    if (parts.size() < 2 || parts[0].size == 0)
        return false;
    rule.folder = parts[0].Text();
    rule.patterns = SplitPatterns(parts[1]);
    for (size_t i = 2; i < parts.size(); ++i)
    {
        if (parts[i].Is("RECURSE"))
            rule.recurse = true;
        else if (parts[i].Is("REMOVESELF"))
            rule.recurse = rule.removeSelf = true;
        else
            return false;
    }
    return !rule.patterns.empty();
}

bool ParseExcludeKey(const CPiece& value, CExcludeRule& rule)
{
    std::vector<CPiece> parts = SplitBars(value);
    if (parts.size() < 2 || parts.size() > 3 || parts[1].size == 0)
        return false;
    rule.path = parts[1].Text();
    if (parts[0].Is("REG"))
    {
        rule.kind = EXCLUDE_REG;
        if (parts.size() == 3)
            rule.value = parts[2].Text();
        return parts.size() == 2 || !rule.value.IsEmpty();
    }
    if (parts[0].Is("PATH"))
        rule.kind = EXCLUDE_PATH;
    else if (parts[0].Is("FILE"))
        rule.kind = EXCLUDE_FILE;
    else
        return false;
    if (parts.size() == 3)
    {
        rule.patterns = SplitPatterns(parts[2]);
        return !rule.patterns.empty();
    }
    if (rule.kind == EXCLUDE_PATH)
        return true; // the whole folder
    // FILE with the file's full path: its folder and its name.
    const int slash = rule.path.ReverseFind('\\');
    if (slash <= 0 || slash + 1 == rule.path.GetLength())
        return false;
    rule.patterns.push_back(rule.path.Mid(slash + 1));
    rule.path = rule.path.Left(slash);
    return true;
}

// One "Name=Value" line of an entry; false when it is not one the format has.
bool ParseKey(const CPiece& key, const CPiece& value, CRuleEntry& entry)
{
    CPiece base;
    if (!SplitKeyName(key, base) || value.size == 0)
        return false;
    const bool numbered = base.size != key.size;
    if (base.Is("FileKey"))
    {
        CFileKeyRule rule;
        rule.keyName = key.Text();
        if (!ParseFileKey(value, rule))
            return false;
        entry.fileKeys.push_back(rule);
    }
    else if (base.Is("RegKey"))
    {
        std::vector<CPiece> parts = SplitBars(value);
        if (parts.size() > 2 || parts[0].size == 0 || (parts.size() == 2 && parts[1].size == 0))
            return false;
        CRegKeyRule rule;
        rule.keyName = key.Text();
        rule.key = parts[0].Text();
        rule.isValue = parts.size() == 2;
        if (rule.isValue)
            rule.value = parts[1].Text();
        entry.regKeys.push_back(rule);
    }
    else if (base.Is("ExcludeKey"))
    {
        CExcludeRule rule;
        rule.keyName = key.Text();
        if (!ParseExcludeKey(value, rule))
            return false;
        entry.excludes.push_back(rule);
    }
    else if (base.Is("Detect"))
        entry.detect.push_back(value.Text());
    else if (base.Is("DetectFile"))
        entry.detectFile.push_back(value.Text());
    else if (base.Is("SpecialDetect"))
        entry.specialDetect.push_back(value.Text());
    else if (numbered)
        return false;
    else if (base.Is("DetectOS"))
        entry.detectOS = value.Text();
    else if (base.Is("LangSecRef"))
    {
        const CString name = LangSecRefName(value.Text());
        if (name.IsEmpty())
            return false;
        if (entry.section.IsEmpty())
            entry.section = name;
    }
    else if (base.Is("Section"))
        entry.section = value.Text();
    else if (base.Is("Default"))
        entry.defaultOn = value.Is("True");
    else if (base.Is("Warning"))
        entry.warning = value.Text();
    else
        return false;
    return true;
}

// An entry's name as entries are told apart: without regard to the case of its letters.
std::string NameKey(const CString& name)
{
    std::string key = name.str();
    for (char& ch : key)
        ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    return key;
}

// Keeps a finished entry that cleans something, in place of one of its name.
void Finish(CRuleEntry& entry, CRuleSet& rules, std::map<std::string, size_t>& byName)
{
    if (entry.name.IsEmpty() || (entry.fileKeys.empty() && entry.regKeys.empty()))
        return;
    if (entry.section.IsEmpty())
        entry.section = "Other";
    entry.typeName = std::make_shared<const CString>(entry.name);
    const std::string key = NameKey(entry.name);
    auto found = byName.find(key);
    if (found != byName.end())
        rules.entries[found->second] = std::move(entry);
    else
    {
        byName.emplace(key, rules.entries.size());
        rules.entries.push_back(std::move(entry));
    }
}

void ParseUtf8(const char* text, size_t size, CRuleSet& rules, int areaId)
{
    std::map<std::string, size_t> byName;
    for (size_t i = 0; i < rules.entries.size(); ++i)
        byName.emplace(NameKey(rules.entries[i].name), i);
    CRuleEntry entry;
    bool inEntry = false;
    const char* end = text + size;
    for (const char* line = text; line < end;)
    {
        const char* newline = static_cast<const char*>(memchr(line, '\n', static_cast<size_t>(end - line)));
        const char* lineEnd = newline ? newline : end;
        const CPiece piece = Trimmed(line, static_cast<size_t>(lineEnd - line));
        line = newline ? newline + 1 : end;
        if (piece.size == 0 || piece.at[0] == ';' || piece.at[0] == '#')
            continue;
        if (piece.at[0] == '[')
        {
            Finish(entry, rules, byName);
            entry = CRuleEntry();
            entry.areaId = areaId;
            inEntry = piece.size > 2 && piece.at[piece.size - 1] == ']' && !memchr(piece.at, '\0', piece.size);
            if (inEntry)
                entry.name = Trimmed(piece.at + 1, piece.size - 2).Text();
            else
                ++rules.malformedLines;
            inEntry = inEntry && !entry.name.IsEmpty();
            continue;
        }
        const char* equals = static_cast<const char*>(memchr(piece.at, '=', piece.size));
        const CPiece key = equals ? Trimmed(piece.at, static_cast<size_t>(equals - piece.at)) : piece;
        // A text holding a NUL is no rule: it would be cut short wherever it is shown.
        const bool readable = memchr(piece.at, '\0', piece.size) == nullptr;
        if (inEntry && equals && readable &&
            ParseKey(key, Trimmed(equals + 1, static_cast<size_t>(piece.at + piece.size - equals - 1)), entry))
            continue;
        ++rules.malformedLines;
        // An exclusion that cannot be read keeps its entry from running at all.
        if (inEntry && entry.unusable.IsEmpty() && key.size >= 10 && _strnicmp(key.at, "ExcludeKey", 10) == 0)
            entry.unusable = (readable ? key.Text() : CString("an ExcludeKey")) +
                             ": an exclusion this program cannot read; the entry does not run without it";
    }
    Finish(entry, rules, byName);
}
} // namespace

CString LangSecRefName(const CString& number)
{
    for (const auto& ref : kLangSecRefs)
        if (number == ref.number)
            return ref.name;
    return CString();
}

void ParseRules(const char* text, size_t size, CRuleSet& rules, int areaId)
{
    if (size >= 2 && static_cast<unsigned char>(text[0]) == 0xFF && static_cast<unsigned char>(text[1]) == 0xFE)
    {
        CString utf8;
        WideToUtf8(reinterpret_cast<const wchar_t*>(text + 2), (size - 2) / 2, utf8);
        ParseUtf8(utf8.GetString(), static_cast<size_t>(utf8.GetLength()), rules, areaId);
        return;
    }
    if (size >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0)
        text += 3, size -= 3;
    ParseUtf8(text, size, rules, areaId);
}

bool LoadRuleFile(const CString& path, CRuleSet& rules, CString& error)
{
    error = CString();
    CHandle file(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
    {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
            return true;
        error = ErrorText(code);
        return false;
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file, &size) || size.QuadPart > kMaxRuleFile)
    {
        error = size.QuadPart > kMaxRuleFile ? CString("larger than a rule file can be") : ErrorText(GetLastError());
        return false;
    }
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() && (!ReadFile(file, &text[0], static_cast<DWORD>(text.size()), &read, nullptr) || read != text.size()))
    {
        error = ErrorText(GetLastError());
        return false;
    }
    ParseRules(text.data(), text.size(), rules);
    return true;
}
