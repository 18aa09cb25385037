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

// ExcludeKeyN, as the format writes them:
//   FILE|folder|name;name  the files of that folder (only) of those names or patterns
//   FILE|folder\file       one file, by its full path
//   PATH|folder|pattern;pattern  the files below the folder, at any depth, that match
//   PATH|folder            everything below the folder
//   REG|key                a registry key with everything below it
//   REG|key|value          one value of a key
enum ExcludeKind
{
    EXCLUDE_FILE,
    EXCLUDE_PATH,
    EXCLUDE_REG
};
struct CExcludeRule
{
    ExcludeKind kind = EXCLUDE_FILE;
    CString keyName;               // "ExcludeKey1"
    CString path;                  // the folder, or the key; variables unexpanded
    std::vector<CString> patterns; // FILE and PATH; none for a whole folder
    CString value;                 // REG: one value, or "" for the whole key
};

struct CRuleEntry
{
    CString name;    // as in its brackets: "Foo *"
    CString section; // Section=, or the name of its LangSecRef
    int areaId = 0;  // the built-in catalogue's area it belongs to; 0 for the user's rules
    std::vector<CString> detect;     // registry keys, or key|value
    std::vector<CString> detectFile; // files or folders, wildcards allowed
    std::vector<CString> specialDetect;
    CString detectOS; // "major.minor" for exactly that version, or min|max, either end empty
    bool defaultOn = false; // read, not followed: an entry stays unchecked until the user checks it
    CString warning;
    std::vector<CFileKeyRule> fileKeys;
    std::vector<CRegKeyRule> regKeys;
    std::vector<CExcludeRule> excludes;
    // Why the entry cannot run as its author wrote it ("ExcludeKey2: ..."): an exclusion
    // that could not be read is never dropped while the keys it limits still run, so the
    // whole entry is refused. "" for an entry that can run.
    CString unusable;
    // The name again, shared by every item the entry finds as its type text.
    std::shared_ptr<const CString> typeName;
};

struct CRuleSet
{
    std::vector<CRuleEntry> entries;
    int malformedLines = 0;
};

// The section name of a LangSecRef number ("3021" gives "Applications"), or "" for a
// number the format does not give.
CString LangSecRefName(const CString& number);

// Reads rule text (UTF-8 with or without its mark, or UTF-16 with its mark) into rules;
// an entry named as one already there (compared without regard to case) replaces it.
// Entries without any key that cleans are dropped.
void ParseRules(const char* text, size_t size, CRuleSet& rules, int areaId = 0);
// Reads a rule file; false, with the reason in error, when it is there but cannot be read
// (a missing file is an empty rule set: true with error "").
bool LoadRuleFile(const CString& path, CRuleSet& rules, CString& error);
