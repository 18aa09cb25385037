#include "String.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mbstring.h>
#include <vector>

CString& CString::operator=(const char* text)
{
    m_s = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    m_s += other.m_s;
    return *this;
}

CString& CString::operator+=(const char* text)
{
    if (text)
        m_s += text;
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_s += ch;
    return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
CString operator+(const CString& a, const char* b) { return CString(a.m_s + (b ? b : "")); }
CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_s); }
CString operator+(const CString& a, char b) { return CString(a.m_s + b); }

int CString::Compare(const char* other) const { return std::strcmp(m_s.c_str(), other ? other : ""); }

int CString::CompareNoCase(const char* other) const
{
    return _mbsicmp(reinterpret_cast<const unsigned char*>(m_s.c_str()),
                    reinterpret_cast<const unsigned char*>(other ? other : ""));
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    size_t at = m_s.find(ch, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const char* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    size_t at = m_s.find(sub, static_cast<size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const
{
    size_t at = m_s.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count < 0 || first >= GetLength())
        return CString();
    return CString(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

CString CString::Left(int count) const { return Mid(0, count); }

CString CString::Right(int count) const
{
    if (count <= 0)
        return CString();
    if (count >= GetLength())
        return *this;
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(count)));
}

CString& CString::MakeUpper()
{
    if (!m_s.empty())
        CharUpperBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
    return *this;
}

CString& CString::MakeLower()
{
    if (!m_s.empty())
        CharLowerBuffA(&m_s[0], static_cast<DWORD>(m_s.size()));
    return *this;
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && count > 0 && index < GetLength())
        m_s.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    return GetLength();
}

CString& CString::TrimRight(char ch)
{
    while (!m_s.empty() && m_s.back() == ch)
        m_s.pop_back();
    return *this;
}

void CString::FormatV(const char* format, va_list args)
{
    va_list probe;
    va_copy(probe, args);
    int needed = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (needed < 0)
    {
        m_s.clear();
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    m_s.assign(buffer.data(), static_cast<size_t>(needed));
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const char* format, ...)
{
    CString tail;
    va_list args;
    va_start(args, format);
    tail.FormatV(format, args);
    va_end(args);
    m_s += tail.m_s;
}

char* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(static_cast<size_t>(minLength));
    m_s.reserve(m_s.size() + 1);
    return &m_s[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(std::min(newLength, GetLength())));
}

CString CString::FromResource(unsigned int id)
{
    char text[1024];
    int length = ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof(text));
    return CString(text, length > 0 ? length : 0);
}

std::wstring Utf8ToWide(const char* text, int length)
{
    if (!text)
        return std::wstring();
    if (length < 0)
        length = static_cast<int>(strlen(text));
    if (length == 0)
        return std::wstring();
    int units = MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    if (units <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, length, &wide[0], units);
    return wide;
}

bool WideToUtf8(const wchar_t* text, size_t length, CString& out)
{
    out.Empty();
    if (length == 0)
        return true;
    const int count = static_cast<int>(length);
    bool exact = true;
    int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, count, nullptr, 0, nullptr, nullptr);
    DWORD flags = WC_ERR_INVALID_CHARS;
    if (bytes <= 0)
    {
        exact = false;
        flags = 0;
        bytes = WideCharToMultiByte(CP_UTF8, 0, text, count, nullptr, 0, nullptr, nullptr);
        if (bytes <= 0)
            return false;
    }
    char* buffer = out.GetBuffer(bytes);
    int written = WideCharToMultiByte(CP_UTF8, flags, text, count, buffer, bytes, nullptr, nullptr);
    out.ReleaseBuffer(written > 0 ? written : 0);
    return exact && written == bytes;
}

CString ErrorText(DWORD error)
{
    char* text = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    CString message;
    if (length && text)
        message = CString(text, static_cast<int>(length));
    if (text)
        LocalFree(text);
    while (!message.IsEmpty())
    {
        char last = message[message.GetLength() - 1];
        if (last != '\r' && last != '\n' && last != '.' && last != ' ')
            break;
        message = message.Left(message.GetLength() - 1);
    }
    if (message.IsEmpty())
        message.Format("error %lu", error);
    return message;
}
