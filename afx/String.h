// CString: an ANSI string with the MFC interface the program uses.
#pragma once

#include <cstdarg>
#include <string>

class CString
{
public:
    CString() {}
    CString(const char* text) : m_s(text ? text : "") {}
    CString(const char* text, int length) : m_s(text ? std::string(text, length > 0 ? length : 0) : std::string()) {}
    CString(char ch, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, ch) {}
    CString(const std::string& text) : m_s(text) {}

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    const char* GetString() const { return m_s.c_str(); }
    operator const char*() const { return m_s.c_str(); }
    char GetAt(int index) const { return m_s.at(static_cast<size_t>(index)); }
    char operator[](int index) const { return GetAt(index); }
    const std::string& str() const { return m_s; }

    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);
    CString& operator+=(char ch);

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);
    friend CString operator+(const CString& a, char b);

    // Byte-wise comparison, as strcmp.
    int Compare(const char* other) const;
    // Case-insensitive, multibyte-aware comparison in the ANSI code page.
    int CompareNoCase(const char* other) const;

    // Index of the first occurrence at or after start, or -1.
    int Find(char ch, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char ch) const;

    // Substrings; counts and starts out of range are clipped, never overrun.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    CString& MakeUpper();
    CString& MakeLower();
    // Removes count characters at index (clipped); returns the new length.
    int Delete(int index, int count = 1);
    CString& TrimRight(char ch);

    void Format(const char* format, ...)
#ifdef __GNUC__
        __attribute__((format(gnu_printf, 2, 3)))
#endif
        ;
    void FormatV(const char* format, va_list args);
    void AppendFormat(const char* format, ...)
#ifdef __GNUC__
        __attribute__((format(gnu_printf, 2, 3)))
#endif
        ;

    // The string resource id of the program's module; empty when there is none.
    static CString FromResource(unsigned int id);

    // A writable buffer of at least minLength characters plus the terminator;
    // ReleaseBuffer cuts the string at its first zero (or at newLength).
    char* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string m_s;
};

// UTF-8 (the program's strings) to UTF-16 (the wide system calls); invalid bytes
// become U+FFFD.
std::wstring Utf8ToWide(const char* text, int length = -1);
// UTF-16 to UTF-8. False when the text holds an unpaired surrogate: out then holds a
// lossy form fit for display only, which names no file.
bool WideToUtf8(const wchar_t* text, size_t length, CString& out);
// The text of a system error code (or an HRESULT), without the closing full stop and
// line break.
CString ErrorText(unsigned long error);

inline bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
inline bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const char* b) { return !(a == b); }
inline bool operator!=(const char* a, const CString& b) { return !(b == a); }
inline bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }
