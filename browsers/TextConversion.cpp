#include "TextConversion.h"

#include <windows.h>

#include <vector>

CString Utf8ToAnsi(const std::string& utf8, int maxUnits)
{
    if (utf8.empty())
        return CString();
    std::vector<wchar_t> wide(static_cast<size_t>(maxUnits));
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), maxUnits);
    if (units <= 0)
        return CString();
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return CString();
    CString text;
    WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.GetBuffer(bytes), bytes, nullptr, nullptr);
    text.ReleaseBuffer(bytes);
    return text;
}
