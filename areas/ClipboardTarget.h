// The contents of the system clipboard as a trace.
#pragma once

#include "model/CleanTarget.h"
#include "model/Tickable.h"

#include <windows.h>

class CClipboardTarget : public CCleanTarget
{
public:
    explicit CClipboardTarget(const CString& summary);
    const CString& GetTypeName() const override;
    // Empties every format of the clipboard, unless its owner does not answer (emptying
    // waits for it).
    int Clean() override;
    CString GetCleanNote() const override { return m_note; }

private:
    CString m_note;
};

// Appends one item summarising the text, picture or metafile on the clipboard, if any.
// The program that owns the clipboard is asked first, for at most kClipboardOwnerWait
// milliseconds: one that does not answer would hold the reading for good (it renders its
// data on request), and is reported instead.
void ScanClipboard(CFoundItemList& list, HWND owner, CTickable& tick);
const unsigned kClipboardOwnerWait = 2000;
