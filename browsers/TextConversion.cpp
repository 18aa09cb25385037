#include "TextConversion.h"

#include <windows.h>

#include <climits>
#include <vector>

CString Utf8ToAnsi(const char* utf8, size_t bytes, int maxUnits)
{
    if (bytes == 0 || bytes > INT_MAX)
        return CString();
    const int length = static_cast<int>(bytes);
    // The common case: the code page is UTF-8 and the text is valid; only its length in
    // UTF-16 units needs counting.
    if (GetACP() == CP_UTF8)
    {
        int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, length, nullptr, 0);
        if (units > maxUnits)
            return CString();
        if (units > 0)
            return CString(std::string(utf8, bytes));
    }
    std::vector<wchar_t> wide(static_cast<size_t>(maxUnits));
    int units = MultiByteToWideChar(CP_UTF8, 0, utf8, length, wide.data(), maxUnits);
    if (units <= 0)
        return CString();
    int ansi = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
    if (ansi <= 0)
        return CString();
    CString text;
    WideCharToMultiByte(CP_ACP, 0, wide.data(), units, text.GetBuffer(ansi), ansi, nullptr, nullptr);
    text.ReleaseBuffer(ansi);
    return text;
}
