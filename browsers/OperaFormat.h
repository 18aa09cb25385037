// Opera's profile file formats, parsed from bytes. Nothing here uses Win32, so the
// parsers also build natively (the fuzz targets in tests/fuzz).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace opera
{
// Where the parsers read from: a file, or memory in tests and fuzzing.
class IByteSource
{
public:
    virtual ~IByteSource() {}
    // Bytes read (fewer at the end).
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual uint64_t Position() const = 0;
    virtual uint64_t Length() const = 0;
};

class CMemorySource : public IByteSource
{
public:
    CMemorySource(const void* data, size_t size) : m_data(static_cast<const uint8_t*>(data)), m_size(size), m_pos(0) {}
    size_t Read(void* buffer, size_t count) override;
    uint64_t Position() const override { return m_pos; }
    uint64_t Length() const override { return m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos;
};

// The largest record or field payload a reader accepts.
const uint32_t kMaxPayload = 1048576;
// Deepest nesting of cookie domains, and of cookie paths, that a file may have.
const size_t kMaxCookieDepth = 64;
// Longest cookie text ("name at location") in bytes.
const size_t kMaxCookieText = 8192;
// Bytes of one text line that are kept.
const size_t kMaxLine = 4094;

// The header of a record file, and what the reader looks for in it.
struct CRecordFileDescription
{
    uint32_t fileVersion = 0;
    uint32_t appVersion = 0;
    uint16_t tagWidth = 0;
    uint16_t lengthWidth = 0;
    int wantedRecordTag = 0;
    int wantedFieldTag = 0;
    int operaKind = 0;
};

struct CField
{
    uint32_t tag = 0;
    uint32_t length = 0;
    const uint8_t* data = nullptr;
    bool flag = false;
};

// What a reader gives each entry to: true to go on reading, false to stop there.
typedef std::function<bool(const std::string& text)> CTextEntry;
typedef std::function<bool(const std::string& text, const std::string& fileName)> CRecordEntry;

// Reads the 12-byte header; false when it is short or declares a tag or length width
// outside 1 to 4 (such a file gives no entries).
bool ReadHeader(IByteSource& source, CRecordFileDescription& description);

// One field of a payload; false at the end or when the field is cut off or too long.
bool ReadOperaField(const uint8_t*& cursor, const uint8_t* end, const CRecordFileDescription& description,
                    CField& field);

// Every record with the wanted tag: its wanted field's data (the entry text) and its
// field 13 (a cache file name), both as stored. Records without an entry text are skipped.
void ReadRecordEntries(IByteSource& source, CRecordFileDescription& description,
                       const CRecordEntry& entry);

// Every cookie name with its location ("name at location"). Nesting deeper than
// kMaxCookieDepth or a text longer than kMaxCookieText ends the file there.
void ReadCookieEntries(IByteSource& source, CRecordFileDescription& description,
                       const CTextEntry& entry);

// Domains from the last appended to the first, joined by "." and ended by "\", then
// each path component followed by "\".
std::string BuildCookieLocation(const std::vector<std::string>& domains, const std::vector<std::string>& paths);

// One line without its line feed; at most kMaxLine bytes kept, the rest of the line dropped.
std::string ReadTextLine(IByteSource& source);

// The text readers, on raw (UTF-8) lines; the caller converts each entry's text.
void ReadGlobalHistoryLines(IByteSource& source, const CTextEntry& entry);
void ReadBookmarkLines(IByteSource& source, const CTextEntry& entry);
void ReadDirectoryListLines(IByteSource& source, const CTextEntry& entry);
void ReadTypedHistoryLines(IByteSource& source, const CTextEntry& entry);

// A cache file name that stays inside its cache folder: not empty, no drive, no root,
// no "\" or "/", and not "." or "..".
bool IsSafeCacheFileName(const std::string& name);
} // namespace opera
