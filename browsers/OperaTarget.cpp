#include "OperaTarget.h"

#include "OperaFormat.h"
#include "areas/FileTarget.h"
#include "model/TypeNames.h"

#include <windows.h>

namespace
{
CString OperaDisplayText(const CString& entryText, const CString& fileName)
{
    if (fileName.IsEmpty())
        return entryText;
    CString text;
    text.Format("%s [%s]", fileName.GetString(), entryText.GetString());
    return text;
}
} // namespace

COperaTarget::COperaTarget(const CString& entryText, const CString& fileName, int operaKind, int deleteFlag,
                           const std::shared_ptr<const CString>& cacheFolder)
    : CCleanTarget(OperaDisplayText(entryText, fileName)), m_operaKind(static_cast<unsigned char>(operaKind)),
      m_deleteFlag(static_cast<unsigned char>(deleteFlag)), m_fileName(fileName), m_cacheFolder(cacheFolder)
{
}

const CString& COperaTarget::GetTypeName() const { return GetTypeText(m_operaKind); }

int COperaTarget::Clean()
{
    m_attempted = 1;
    if (m_deleteFlag != 1)
    {
        m_cleaned = 1; // the entry goes with its profile file
        return m_cleaned;
    }
    // The name comes from the cache index's content: one that would reach outside the
    // cache folder (a drive, a root, a separator, "..") deletes nothing and fails.
    const CString fileName = GetFileName();
    if (!m_cacheFolder || !opera::IsSafeCacheFileName(fileName.str()))
    {
        m_cleaned = 0;
        return m_cleaned;
    }
    RemoveResult result = RemoveListedEntry(*m_cacheFolder + fileName, false, false);
    m_cleaned = result == REMOVE_DONE || result == REMOVE_GONE ? 1 : 0;
    return m_cleaned;
}
