#include "CleanTarget.h"

#include "TypeNames.h"

CCleanTarget::CCleanTarget(const CString& displayText)
    : m_displayText(displayText), m_pOwner(nullptr), m_attempted(0), m_cleaned(0)
{
}

CCleanTarget::CCleanTarget(const CString& displayText, const CString& extraText)
    : m_displayText(displayText, extraText), m_pOwner(nullptr), m_attempted(0), m_cleaned(0)
{
}

CCleanTarget::~CCleanTarget() {}

const CString& CCleanTarget::GetTypeName() const { return GetTypeText(TN_CLEAN_TARGET); }

int CCleanTarget::Clean()
{
    m_attempted = 1;
    return 0;
}
