#include "TypeNames.h"

static_assert(TN_LOGICAL_DISK == 33, "the first design's 34 kinds keep their numbers");

namespace
{
const char* const kTypeTexts[TN_COUNT] = {
    "Clean target",
    // File kinds 0..11
    "Temporary file",
    "Temporary folder",
    "Link to file",
    "Scandisk file fragment",
    "Scandisk folder",
    "IE cookie",
    "IE cache file",
    "IE cache folder",
    "IE fav link",
    "IE history file",
    "Opera temporary download",
    "Opera file",
    "Recently typed",
    "Relay Target",
    "RecycleBin entry",
    "Clipboard contents",
    // Opera kinds 0..6
    "Opera cache file",
    "Opera visited link",
    "Opera download link",
    "Opera cookie",
    "Opera history entry",
    "Opera bookmark",
    "Opera typed URL",
    // Firefox kinds 0..7
    "Mozilla cache file",
    "Mozilla visited link",
    "Mozilla download link",
    "Mozilla cookie",
    "Mozilla history entry",
    "Mozilla bookmark",
    "Mozilla typed URL",
    "Mozilla form data",
    "Mozilla cleaning query",
    "Logical disk unused space",
    "Browser cache file",
    "Browser cache folder",
    // Chromium kinds 0..5
    "Chromium cookie",
    "Chromium history entry",
    "Chromium typed URL",
    "Chromium search term",
    "Chromium form data",
    "Chromium download",
    "Chromium cleaning query",
    "Chromium visited links file",
    "Browser history file",
    "Browser history folder",
    "Browser network state file",
    "Site data file",
    "Site data folder",
    "Site storage",
    "Browser session file",
    "Browser session folder",
    "Browser site preferences",
};

struct CTypeTextTable
{
    CString texts[TN_COUNT];
    CTypeTextTable()
    {
        for (int i = 0; i < TN_COUNT; ++i)
            texts[i] = kTypeTexts[i];
    }
};

const CTypeTextTable& Table()
{
    static const CTypeTextTable table;
    return table;
}

// Builds the table during static initialisation, before any window exists.
const CTypeTextTable& g_buildAtStart = Table();
} // namespace

const CString& GetTypeText(int id) { return Table().texts[id]; }
