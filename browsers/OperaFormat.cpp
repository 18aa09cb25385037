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

// Reads the header, then every record to the end: onFlag(tag) for a flag record,
// onField(recordTag, field, data) for each field of every whole payload (a payload
// cut off by the end of the file is skipped; a tag or length cut off, or a length
// above kMaxPayload, ends the file). onRecordEnd(recordTag) follows each payload.
// A callback that returns false ends the file there (it found it malformed).
void ForEachRecord(IByteSource& source, CRecordFileDescription& d, const std::function<bool(uint32_t)>& onFlag,
                   const std::function<bool(uint32_t, const CField&, const std::string&)>& onField,
                   const std::function<void(uint32_t)>& onRecordEnd)
{
    if (!ReadHeader(source, d))
        return;
    std::vector<uint8_t> payload;
    for (;;)
    {
        uint32_t tag = 0, length = 0;
        uint8_t first = 0, unused = 0;
        if (!ReadNumber(source, d.tagWidth, tag, first))
            return;
        if (first & 0x80)
        {
            if (!onFlag(tag))
                return;
            continue;
        }
        if (!ReadNumber(source, d.lengthWidth, length, unused) || length > kMaxPayload)
            return;
        payload.resize(length);
        if (length && source.Read(payload.data(), length) != length)
            continue;
        const uint8_t* cursor = payload.data();
        const uint8_t* end = cursor + payload.size();
        CField field;
        while (ReadOperaField(cursor, end, d, field))
        {
            if (!onField(tag, field,
                         std::string(reinterpret_cast<const char*>(field.data ? field.data : cursor), field.length)))
                return;
        }
        onRecordEnd(tag);
    }
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

void ReadRecordEntries(IByteSource& source, CRecordFileDescription& d, const CRecordEntry& entry)
{
    const uint32_t wantedRecord = static_cast<uint32_t>(d.wantedRecordTag);
    const uint32_t wantedField = static_cast<uint32_t>(d.wantedFieldTag);
    std::string text, fileName;
    bool goOn = true;
    ForEachRecord(
        source, d, [&](uint32_t) { return goOn; },
        [&](uint32_t record, const CField& field, const std::string& data) {
            // The last occurrence of a tag wins; a flag field gives an empty text.
            if (!goOn)
                return false;
            if (record != wantedRecord)
                return true;
            if (field.tag == wantedField)
                text = data;
            else if (field.tag == 13)
                fileName = data;
            return true;
        },
        [&](uint32_t record) {
            if (goOn && record == wantedRecord && !text.empty())
                goOn = entry(text, fileName);
            text.clear();
            fileName.clear();
        });
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

void ReadCookieEntries(IByteSource& source, CRecordFileDescription& d, const CTextEntry& entry)
{
    std::vector<std::string> domains, paths;
    std::string currentPath;
    // Domains and paths nest only so deep, and a cookie's text is only so long; a file
    // past either bound is malformed from there on, and its reading ends.
    ForEachRecord(
        source, d,
        [&](uint32_t tag) {
            if ((tag & 7) == 4 && !domains.empty())
                domains.pop_back();
            if ((tag & 7) == 5)
            {
                if (!currentPath.empty() && !paths.empty())
                    paths.pop_back();
                currentPath.clear();
            }
            return true;
        },
        [&](uint32_t record, const CField& field, const std::string& data) {
            if (record == 1 && field.tag == 30)
            {
                if (domains.size() >= kMaxCookieDepth)
                    return false;
                domains.push_back(data);
                paths.clear();
            }
            else if (record == 2 && field.tag == 29)
            {
                if (paths.size() >= kMaxCookieDepth)
                    return false;
                currentPath = data;
                paths.push_back(data);
            }
            else if (record == 3 && field.tag == 16)
            {
                size_t length = data.size() + 4;
                for (const std::string& part : domains)
                    length += part.size() + 1;
                for (const std::string& part : paths)
                    length += part.size() + 1;
                if (length > kMaxCookieText)
                    return false;
                return entry(data + " at " + BuildCookieLocation(domains, paths));
            }
            return true;
        },
        [](uint32_t) {});
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

void ReadGlobalHistoryLines(IByteSource& source, const CTextEntry& entry)
{
    for (std::string line = ReadTextLine(source); !line.empty(); line = ReadTextLine(source))
    {
        if (!entry(line))
            return;
        for (int i = 0; i < 3; ++i)
            ReadTextLine(source);
    }
}

void ReadBookmarkLines(IByteSource& source, const CTextEntry& entry)
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
            if (!entry(line.substr(6)))
                return;
        }
    }
}

void ReadDirectoryListLines(IByteSource& source, const CTextEntry& entry)
{
    while (source.Position() < source.Length())
    {
        std::string line = ReadTextLine(source);
        if (!line.empty() && !entry(line))
            return;
    }
}

void ReadTypedHistoryLines(IByteSource& source, const CTextEntry& entry)
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
        if (!entry(line.substr(start, end - start)))
            return;
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
