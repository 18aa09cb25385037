// Opera's profile files as found items: every file a reader opens is listed as an
// "Opera file" (cleaning deletes it whole), and its entries are listed after it.
#pragma once

#include "OperaFormat.h"
#include "model/CleanTarget.h"
#include "model/Tickable.h"

// Folder of an Opera profile below the local or roaming application data.
extern const char kOperaProfileFolder[];

// The most entries listed from one file: a file of more says so, and the rest of it is
// not read (each entry is held until the clean).
const size_t kMaxOperaEntriesPerFile = 1000000;
// Another bound, for tests; 0 restores the one above.
void SetOperaEntryBound(size_t bound);

// The Opera files in the order a scan reads them; each is read by ReadOperaFile.
enum
{
    kOperaCookiesFile = 4, // cookies4.dat
    OPERA_FILE_COUNT = 10
};
// Whether Opera file number index is a folder (walked), and its path below the local or
// roaming application data ("" without that folder).
bool IsOperaFolder(int index);
CString OperaFilePath(int index, const CString& localAppData, const CString& appData);
// Reads Opera file number index (0 to OPERA_FILE_COUNT - 1) of the local or roaming
// profile below the given application-data folders.
void ReadOperaFile(int index, const CString& localAppData, const CString& appData, CFoundItemList& list,
                   CTickable& tick);
