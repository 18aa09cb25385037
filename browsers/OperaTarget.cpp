#include "OperaTarget.h"

#include "engine/TypeNames.h"

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
                           const CString& cacheFolder)
    : CCleanTarget(OperaDisplayText(entryText, fileName)), m_operaKind(operaKind), m_fileName(fileName),
      m_deleteFlag(deleteFlag), m_cacheFolder(cacheFolder)
{
}

const CString& COperaTarget::GetTypeName() const { return GetTypeText(TN_OPERA_FIRST + m_operaKind); }

int COperaTarget::Clean()
{
    m_attempted = 1;
    CString path = m_cacheFolder + m_fileName;
    if (m_deleteFlag == 1)
        m_cleaned = DeleteFileA(path) ? 1 : 0;
    else
        m_cleaned = 1;
    return m_cleaned;
}
