// Cleaning rules in the format of the community file winapp2.ini: one entry per
// application or trace, "[Name *]" followed by its keys. Rule files are untrusted: a line
// that cannot be read is skipped and counted, never fatal, and nothing here touches the
// disk or the registry beyond reading the file.
#pragma once

#include "afx/String.h"

#include <memory>
#include <vector>

// FileKeyN=folder|pattern;pattern[|RECURSE|REMOVESELF]
struct CFileKeyRule
{
    CString keyName;               // "FileKey1"
    CString folder;                // variables and wildcards unexpanded
    std::vector<CString> patterns; // file name patterns
    bool recurse = false;          // also every sub-folder
    bool removeSelf = false;       // also the folders, once emptied (implies recurse)
};

// RegKeyN=key[|value]
struct CRegKeyRule
{
    CString keyName; // "RegKey1"
    CString key;
    CString value;
    bool isValue = false;
};

// ExcludeKeyN=FILE|folder|pattern, PATH|folder[|pattern], REG|key[|value]
enum ExcludeKind
{
    EXCLUDE_FILE, // files of that folder (only) matching the pattern
    EXCLUDE_PATH, // everything below the folder, or what matches the pattern there
    EXCLUDE_REG   // a key with everything below it, or one value
};
struct CExcludeRule
{
    ExcludeKind kind = EXCLUDE_FILE;
    CString path;
    CString pattern; // or the value name
};

struct CRuleEntry
{
    CString name;    // as in its brackets: "Foo *"
    CString section; // Section=, or the name of its LangSecRef
    int areaId = 0;  // the built-in catalogue's area it belongs to; 0 for the user's rules
    std::vector<CString> detect;     // registry keys, or key|value
    std::vector<CString> detectFile; // files or folders, wildcards allowed
    std::vector<CString> specialDetect;
    CString detectOS; // min|max, each "major.minor" or empty
    bool defaultOn = false; // read, not followed: an entry stays unchecked until the user checks it
    CString warning;
    std::vector<CFileKeyRule> fileKeys;
    std::vector<CRegKeyRule> regKeys;
    std::vector<CExcludeRule> excludes;
    // The name again, shared by every item the entry finds as its type text.
    std::shared_ptr<const CString> typeName;
};

struct CRuleSet
{
    std::vector<CRuleEntry> entries;
    int malformedLines = 0;
};

// The section name of a LangSecRef number ("3021" gives "Applications"), or "".
CString LangSecRefName(const CString& number);

// Reads rule text (UTF-8 with or without its mark, or UTF-16 with its mark) into rules;
// an entry named as one already there (compared without regard to case) replaces it.
// Entries without any key that cleans are dropped.
void ParseRules(const char* text, size_t size, CRuleSet& rules, int areaId = 0);
// Reads a rule file; false, with the reason in error, when it is there but cannot be read
// (a missing file is an empty rule set: true with error "").
bool LoadRuleFile(const CString& path, CRuleSet& rules, CString& error);
