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

CMRUListTarget::CMRUListTarget(const CString& displayText, const std::shared_ptr<const CString>& keyPath,
                               const CString& valueName)
    : CCleanTarget(WithoutRunSuffix(displayText), valueName), m_keyPath(keyPath)
{
}

const CString& CMRUListTarget::GetTypeName() const { return GetTypeText(TN_RECENTLY_TYPED); }

int CMRUListTarget::Clean()
{
    m_attempted = 1;
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, *m_keyPath, KEY_SET_VALUE) != ERROR_SUCCESS)
        return 0;
    m_cleaned = RegDeleteValueA(key.Get(), GetValueName()) == ERROR_SUCCESS ? 1 : 0;
    return m_cleaned;
}

void ScanMRUKey(const CString& keyPath, CFoundItemList& list, CTickable& tick)
{
    if (keyPath.IsEmpty())
        return;
    // Listed with the right to read only: what can be read is listed, and what then
    // cannot be deleted stays listed as left.
    CRegKey key;
    const LONG opened = key.Open(HKEY_CURRENT_USER, keyPath, KEY_READ);
    if (opened != ERROR_SUCCESS)
    {
        // A list that is not there holds nothing; one that is there but closed is said.
        if (opened != ERROR_FILE_NOT_FOUND && opened != ERROR_PATH_NOT_FOUND)
            tick.ReportProblem(PROBLEM_UNREADABLE, "HKCU\\" + keyPath, ErrorText(static_cast<unsigned long>(opened)));
        return;
    }

    const auto sharedPath = std::make_shared<const CString>(keyPath);
    char name[kBufferSize];
    BYTE data[kBufferSize];
    DWORD nameSize = kBufferSize, dataSize = kBufferSize, type = 0;
    LONG result = ERROR_SUCCESS;
    for (DWORD index = 0;
         (result = RegEnumValueA(key.Get(), index, name, &nameSize, nullptr, &type, data, &dataSize)) == ERROR_SUCCESS;)
    {
        ++index;
        if (type == REG_SZ && strcmp(name, "MRUList") != 0)
        {
            // Stored data need not end with a terminator: take at most what was returned.
            const char* text = reinterpret_cast<const char*>(data);
            list.push_back(std::make_shared<CMRUListTarget>(CString(text, static_cast<int>(strnlen(text, dataSize))),
                                                            sharedPath, name));
            tick.Tick();
        }
        else if (type == REG_BINARY)
        {
            list.push_back(std::make_shared<CMRUListTarget>(name, sharedPath, name));
            tick.Tick();
        }
        nameSize = kBufferSize;
        dataSize = kBufferSize;
    }
    if (result == ERROR_MORE_DATA)
        tick.ReportProblem(PROBLEM_UNREADABLE, "HKCU\\" + keyPath,
                           "a value over 1024 bytes; it and the values after it were not listed");
    else if (result != ERROR_NO_MORE_ITEMS)
        tick.ReportProblem(PROBLEM_UNREADABLE, "HKCU\\" + keyPath, ErrorText(static_cast<unsigned long>(result)));
}
