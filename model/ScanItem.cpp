#include "ScanItem.h"

CScanItem::CScanItem(const CString& name, int sectionIndex)
    : m_name(name), m_status(SS_READY), m_sectionIndex(sectionIndex), m_cleanedSoFar(0), m_toClean(0),
      m_checked(1)
{
}
