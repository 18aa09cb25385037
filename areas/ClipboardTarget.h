// The contents of the system clipboard as a trace.
#pragma once

#include "model/CleanTarget.h"

#include <windows.h>

class CClipboardTarget : public CCleanTarget
{
public:
    explicit CClipboardTarget(const CString& summary);
    const CString& GetTypeName() const override;
    // Empties every format of the clipboard.
    int Clean() override;
};

// Appends one item summarising the text, picture or metafile on the clipboard, if any.
void ScanClipboard(CFoundItemList& list, HWND owner);
