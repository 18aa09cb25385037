// A found item's text, and optionally a second text of the item's own (a registry value's
// name), held in one allocation of their exact size: a million items cost no more than
// their texts need (a CString carries room for a short text besides its own).
#pragma once

#include "afx/String.h"

#include <cstdint>
#include <cstring>
#include <memory>

class CItemText
{
public:
    CItemText() : m_length(0), m_extraLength(0) {}
    explicit CItemText(const CString& text, const CString& extra = CString()) : m_length(0), m_extraLength(0)
    {
        Set(text, extra);
    }
    CItemText(const CItemText&) = delete;
    CItemText& operator=(const CItemText&) = delete;

    void Set(const CString& text, const CString& extra = CString())
    {
        m_length = static_cast<uint32_t>(text.GetLength());
        m_extraLength = static_cast<uint32_t>(extra.GetLength());
        m_data.reset();
        if (m_length + m_extraLength == 0)
            return;
        m_data.reset(new char[m_length + m_extraLength]);
        memcpy(m_data.get(), text.GetString(), m_length);
        memcpy(m_data.get() + m_length, extra.GetString(), m_extraLength);
    }
    CString Get() const { return m_length ? CString(m_data.get(), static_cast<int>(m_length)) : CString(); }
    CString GetExtra() const
    {
        return m_extraLength ? CString(m_data.get() + m_length, static_cast<int>(m_extraLength)) : CString();
    }
    bool IsEmpty() const { return m_length == 0; }

private:
    std::unique_ptr<char[]> m_data;
    uint32_t m_length;
    uint32_t m_extraLength;
};
