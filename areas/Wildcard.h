// Names matched against the wildcards of cleaning rules ("*.log", "Cache?"), without
// regard to letter case, as the file system and the registry compare names.
#pragma once

#include <string>

// The name with its letters in upper case, as names are compared.
std::wstring FoldedName(const wchar_t* name, size_t length);
inline std::wstring FoldedName(const std::wstring& name) { return FoldedName(name.data(), name.size()); }

// Whether a folded name matches a folded pattern: "*" stands for any run of characters,
// "?" for one; "*.*" also takes a name without a dot, as the system's own matching does.
bool MatchesWildcard(const std::wstring& pattern, const std::wstring& name);

// Whether a text holds "*" or "?".
bool HasWildcard(const std::wstring& text);
