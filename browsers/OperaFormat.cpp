#include "OperaFormat.h"

#include <cstring>

namespace opera
{
size_t CMemorySource::Read(void* buffer, size_t count)
{
    size_t n = count < m_size - m_pos ? count : m_size - m_pos;
    if (n)
        std::memcpy(buffer, m_data + m_pos, n);
    m_pos += n;
    return n;
}

namespace
{
uint32_t BigEndian(const uint8_t* bytes, size_t width)
{
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// Reads a number of width bytes; false when fewer come.
bool ReadNumber(IByteSource& source, size_t width, uint32_t& value, uint8_t& firstByte)
{
    uint8_t bytes[4] = {};
    if (width == 0 || width > 4 || source.Read(bytes, width) != width)
        return false;
    firstByte = bytes[0];
    value = BigEndian(bytes, width);
    return true;
}

enum RecordResult
{
    RECORD_END,     // stop reading the file
    RECORD_FLAG,    // a flag record: no payload
    RECORD_SKIPPED, // a payload cut off by the end of the file
    RECORD_PAYLOAD
};

// Reads one record: its tag, and unless it is a flag, its payload.
RecordResult ReadRecord(IByteSource& source, const CRecordFileDescription& d, uint32_t& tag,
                        std::vector<uint8_t>& payload)
{
    uint8_t first = 0, unused = 0;
    if (!ReadNumber(source, d.tagWidth, tag, first))
        return RECORD_END;
    if (first & 0x80)
        return RECORD_FLAG;
    uint32_t length = 0;
    if (!ReadNumber(source, d.lengthWidth, length, unused) || length > kMaxPayload)
        return RECORD_END;
    payload.resize(length);
    if (length && source.Read(payload.data(), length) != length)
        return RECORD_SKIPPED;
    return RECORD_PAYLOAD;
}
} // namespace

bool ReadHeader(IByteSource& source, CRecordFileDescription& d)
{
    uint8_t header[12];
    if (source.Read(header, sizeof(header)) != sizeof(header))
        return false;
    d.fileVersion = BigEndian(header, 4);
    d.appVersion = BigEndian(header + 4, 4);
    d.tagWidth = static_cast<uint16_t>(BigEndian(header + 8, 2));
    d.lengthWidth = static_cast<uint16_t>(BigEndian(header + 10, 2));
    return d.tagWidth >= 1 && d.tagWidth <= 4 && d.lengthWidth >= 1 && d.lengthWidth <= 4;
}

bool ReadOperaField(const uint8_t*& cursor, const uint8_t* end, const CRecordFileDescription& d, CField& field)
{
    if (cursor >= end || static_cast<size_t>(end - cursor) < d.tagWidth)
        return false;
    field = CField();
    field.tag = BigEndian(cursor, d.tagWidth);
    bool flag = (cursor[0] & 0x80) != 0;
    cursor += d.tagWidth;
    if (flag)
    {
        field.flag = true;
        return true;
    }
    if (static_cast<size_t>(end - cursor) < d.lengthWidth)
        return false;
    field.length = BigEndian(cursor, d.lengthWidth);
    cursor += d.lengthWidth;
    if (field.length > kMaxPayload || static_cast<size_t>(end - cursor) < field.length)
        return false;
    field.data = cursor;
    cursor += field.length;
    return true;
}

void ReadRecordEntries(IByteSource& source, CRecordFileDescription& d,
                       const std::function<void(const std::string&, const std::string&)>& entry)
{
    if (!ReadHeader(source, d))
        return;
    std::vector<uint8_t> payload;
    for (;;)
    {
        uint32_t tag = 0;
        RecordResult result = ReadRecord(source, d, tag, payload);
        if (result == RECORD_END)
            return;
        if (result != RECORD_PAYLOAD || tag != static_cast<uint32_t>(d.wantedRecordTag))
            continue;
        std::string text, fileName;
        const uint8_t* cursor = payload.data();
        const uint8_t* end = cursor + payload.size();
        CField field;
        while (ReadOperaField(cursor, end, d, field))
        {
            std::string data(reinterpret_cast<const char*>(field.data ? field.data : cursor), field.length);
            if (field.tag == static_cast<uint32_t>(d.wantedFieldTag))
                text = data;
            else if (field.tag == 13)
                fileName = data;
        }
        if (!text.empty())
            entry(text, fileName);
    }
}

std::string BuildCookieLocation(const std::vector<std::string>& domains, const std::vector<std::string>& paths)
{
    std::string result;
    for (auto it = domains.rbegin(); it != domains.rend(); ++it)
        result += *it + ".";
    if (!result.empty())
        result.back() = '\\';
    for (const std::string& path : paths)
        result += path + "\\";
    return result;
}

void ReadCookieEntries(IByteSource& source, CRecordFileDescription& d,
                       const std::function<void(const std::string&)>& entry)
{
    if (!ReadHeader(source, d))
        return;
    std::vector<std::string> domains, paths;
    std::string currentPath;
    std::vector<uint8_t> payload;
    for (;;)
    {
        uint32_t tag = 0;
        RecordResult result = ReadRecord(source, d, tag, payload);
        if (result == RECORD_END)
            return;
        if (result == RECORD_FLAG)
        {
            if ((tag & 7) == 4 && !domains.empty())
                domains.pop_back();
            if ((tag & 7) == 5)
            {
                if (!currentPath.empty() && !paths.empty())
                    paths.pop_back();
                currentPath.clear();
            }
            continue;
        }
        if (result != RECORD_PAYLOAD)
            continue;
        const uint8_t* cursor = payload.data();
        const uint8_t* end = cursor + payload.size();
        CField field;
        while (ReadOperaField(cursor, end, d, field))
        {
            std::string data(reinterpret_cast<const char*>(field.data ? field.data : cursor), field.length);
            if (tag == 1 && field.tag == 30)
            {
                domains.push_back(data);
                paths.clear();
            }
            else if (tag == 2 && field.tag == 29)
            {
                currentPath = data;
                paths.push_back(data);
            }
            else if (tag == 3 && field.tag == 16)
                entry(data + " at " + BuildCookieLocation(domains, paths));
        }
    }
}

std::string ReadTextLine(IByteSource& source)
{
    std::string line;
    char byte;
    while (source.Read(&byte, 1) == 1 && byte != '\n')
    {
        if (line.size() < kMaxLine)
            line += byte;
    }
    return line;
}

void ReadGlobalHistoryLines(IByteSource& source, const std::function<void(const std::string&)>& entry)
{
    for (std::string line = ReadTextLine(source); !line.empty(); line = ReadTextLine(source))
    {
        entry(line);
        for (int i = 0; i < 3; ++i)
            ReadTextLine(source);
    }
}

void ReadBookmarkLines(IByteSource& source, const std::function<void(const std::string&)>& entry)
{
    bool inAddressBlock = false;
    while (source.Position() < source.Length())
    {
        std::string line = ReadTextLine(source);
        if (line.size() <= 3)
            continue;
        if (line.compare(0, 4, "#URL") == 0)
            inAddressBlock = true;
        if (line.compare(0, 7, "#FOLDER") == 0)
            inAddressBlock = false;
        else if (inAddressBlock && line.compare(0, 6, "\tNAME=") == 0)
        {
            if (line.back() == '\r')
                line.pop_back();
            entry(line.substr(6));
        }
    }
}

void ReadDirectoryListLines(IByteSource& source, const std::function<void(const std::string&)>& entry)
{
    while (source.Position() < source.Length())
    {
        std::string line = ReadTextLine(source);
        if (!line.empty())
            entry(line);
    }
}

void ReadTypedHistoryLines(IByteSource& source, const std::function<void(const std::string&)>& entry)
{
    static const char kItem[] = "<typed_history_item content=\"";
    while (source.Position() < source.Length())
    {
        std::string line = ReadTextLine(source);
        size_t found = line.find(kItem);
        if (line.empty() || found == std::string::npos)
            continue;
        size_t start = found + sizeof(kItem) - 1;
        size_t end = start < line.size() ? line.find('"', start) : line.size();
        if (end == std::string::npos)
            end = line.size();
        entry(line.substr(start, end - start));
    }
}

bool IsSafeCacheFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    if (name.find_first_of("\\/:") != std::string::npos)
        return false;
    return true;
}
} // namespace opera
