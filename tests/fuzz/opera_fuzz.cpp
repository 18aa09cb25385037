// libFuzzer target for the Opera profile parsers: the record-file reader (cache,
// links, downloads), the cookie reader and the text-line readers. The first byte
// picks the reader; the rest is the file.
#include "browsers/OperaFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t choice = data[0];
    opera::CMemorySource source(data + 1, size - 1);
    size_t total = 0;
    // Reading stops once the entries hold 4 KiB: stopping is fuzzed too.
    auto textEntry = [&total](const std::string& text) {
        total += text.size();
        return total < 4096;
    };
    opera::CRecordFileDescription d;
    switch (choice % 7)
    {
    case 0:
    case 1:
    {
        static const int recordTags[] = {1, 2, 65};
        d.wantedRecordTag = recordTags[(choice >> 3) % 3];
        d.wantedFieldTag = 3;
        opera::ReadRecordEntries(source, d, [&total](const std::string& text, const std::string& fileName) {
            total += text.size() + fileName.size() + opera::IsSafeCacheFileName(fileName);
            return total < 4096;
        });
        break;
    }
    case 2:
        opera::ReadCookieEntries(source, d, textEntry);
        break;
    case 3:
        opera::ReadGlobalHistoryLines(source, textEntry);
        break;
    case 4:
        opera::ReadBookmarkLines(source, textEntry);
        break;
    case 5:
        opera::ReadDirectoryListLines(source, textEntry);
        break;
    case 6:
        opera::ReadTypedHistoryLines(source, textEntry);
        break;
    }
    return total == static_cast<size_t>(-1);
}
