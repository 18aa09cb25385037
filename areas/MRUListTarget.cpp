#include "MRUListTarget.h"

#include "afx/Handle.h"
#include "model/TypeNames.h"

#include <windows.h>

namespace
{
const DWORD kBufferSize = 1024;

CString WithoutRunSuffix(const CString& text)
{
    if (text.GetLength() >= 2 && text.Right(2) == "\\1")
        return text.Left(text.GetLength() - 2);
    return text;
}

} // namespace

CMRUListTarget::CMRUListTarget(const CString& displayText, const CString& keyPath, const CString& valueName)
    : CCleanTarget(WithoutRunSuffix(displayText)), m_keyPath(keyPath), m_valueName(valueName)
{
}

const CString& CMRUListTarget::GetTypeName() const { return GetTypeText(TN_RECENTLY_TYPED); }

int CMRUListTarget::Clean()
{
    m_attempted = 1;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, m_keyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return 0;
    m_cleaned = RegDeleteValueA(key.Get(), m_valueName) == ERROR_SUCCESS ? 1 : 0;
    return m_cleaned;
}

void ScanMRUKey(const CString& keyPath, CFoundItemList& list, CTickable& tick)
{
    if (keyPath.IsEmpty())
        return;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, keyPath, KEY_ALL_ACCESS) != ERROR_SUCCESS)
        return;

    char name[kBufferSize];
    BYTE data[kBufferSize];
    DWORD nameSize = kBufferSize, dataSize = kBufferSize, type = 0;
    for (DWORD index = 0;
         RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, &type, data, &dataSize) == ERROR_SUCCESS;)
    {
        ++index;
        if (type == REG_SZ && strcmp(name, "MRUList") != 0)
        {
            // Stored data need not end with a terminator: take at most what was returned.
            const char* text = reinterpret_cast<const char*>(data);
            list.push_back(CCleanTargetPtr(new CMRUListTarget(CString(text, static_cast<int>(strnlen(text, dataSize))),
                                                              keyPath, name)));
            tick.Tick();
        }
        else if (type == REG_BINARY)
        {
            list.push_back(CCleanTargetPtr(new CMRUListTarget(name, keyPath, name)));
            tick.Tick();
        }
        nameSize = kBufferSize;
        dataSize = kBufferSize;
    }
}
