// An entry read from an Opera profile file.
#pragma once

#include "model/CleanTarget.h"
#include "model/TypeNames.h"

// Opera entry kinds, each its type text.
enum OperaKind
{
    OK_CACHE_FILE = TN_OPERA_CACHE_FILE,
    OK_VISITED_LINK = TN_OPERA_VISITED_LINK,
    OK_DOWNLOAD_LINK = TN_OPERA_DOWNLOAD_LINK,
    OK_COOKIE = TN_OPERA_COOKIE,
    OK_HISTORY_ENTRY = TN_OPERA_HISTORY_ENTRY,
    OK_BOOKMARK = TN_OPERA_BOOKMARK,
    OK_TYPED_URL = TN_OPERA_TYPED_URL,
};

class COperaTarget : public CCleanTarget
{
public:
    // fileName: a cache file relative to cacheFolder (a path ending with a backslash),
    // empty for every entry that is not a cache entry.
    COperaTarget(const CString& entryText, const CString& fileName, int operaKind, int deleteFlag,
                 const std::shared_ptr<const CString>& cacheFolder = nullptr);

    const CString& GetTypeName() const override;
    // A cache entry deletes its cache file; any other entry goes with its profile file.
    int Clean() override;

    CString GetFileName() const { return m_fileName.Get(); }
    int GetOperaKind() const { return m_operaKind; }

private:
    unsigned char m_operaKind;
    unsigned char m_deleteFlag;
    CItemText m_fileName;
    std::shared_ptr<const CString> m_cacheFolder; // shared by the entries of one cache index

};
