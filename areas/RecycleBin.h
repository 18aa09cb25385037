// The shell's recycle bin: every entry is listed; one call empties the whole bin.
#pragma once

#include "model/RelayTarget.h"

#include <windows.h>

// Empties the recycle bin of every drive; shared by all listed entries of one scan.
class CRecycleBin : public CCleanTarget
{
public:
    CRecycleBin();
    int Clean() override;
};

class CRecycleBinTarget : public CRelayTarget
{
public:
    CRecycleBinTarget(const CString& entryName, const std::shared_ptr<CRecycleBin>& bin);
    const CString& GetTypeName() const override;
};

// One entry per object in the recycle bin, named as the bin's first details column shows it.
void ScanRecycleBin(CFoundItemList& list, HWND owner);
