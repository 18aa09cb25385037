#include "ClipboardTarget.h"

#include "model/CleanHost.h"
#include "model/TypeNames.h"

namespace
{
// Holds the clipboard open for the life of the object.
class CClipboardLock
{
public:
    explicit CClipboardLock(HWND owner) : m_open(OpenClipboard(owner) != FALSE) {}
    ~CClipboardLock()
    {
        if (m_open)
            CloseClipboard();
    }
    CClipboardLock(const CClipboardLock&) = delete;
    CClipboardLock& operator=(const CClipboardLock&) = delete;
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};
const char kOwnerSilent[] = "its owner does not answer";

// Whether the window that owns the clipboard answers within the bound. Reading data it
// renders on request, and emptying the clipboard, both wait for it.
bool OwnerAnswers()
{
    HWND owner = GetClipboardOwner();
    if (!owner || !IsWindow(owner))
        return true; // nobody to wait for
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kClipboardOwnerWait, &result) !=
           0;
}
} // namespace

CClipboardTarget::CClipboardTarget(const CString& summary) : CCleanTarget(summary) {}

const CString& CClipboardTarget::GetTypeName() const { return GetTypeText(TN_CLIPBOARD_CONTENTS); }

int CClipboardTarget::Clean()
{
    m_attempted = 1;
    m_note.Empty();
    if (!OwnerAnswers())
    {
        m_note = kOwnerSilent;
        m_cleaned = 0;
        return m_cleaned;
    }
    CClipboardLock clipboard(m_pOwner ? m_pOwner->GetOwnerWindow() : nullptr);
    if (!clipboard.IsOpen())
        return 0;
    // Counted cleaned only when the system emptied it.
    m_cleaned = EmptyClipboard() ? 1 : 0;
    return m_cleaned;
}

void ScanClipboard(CFoundItemList& list, HWND owner, CTickable& tick)
{
    if (!OwnerAnswers())
    {
        tick.ReportProblem(PROBLEM_UNREADABLE, "the clipboard", kOwnerSilent);
        return;
    }
    CClipboardLock clipboard(owner);
    if (!clipboard.IsOpen() || CountClipboardFormats() == 0)
        return;

    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    if (text)
    {
        // The text ends at its terminator, but never past the memory block that holds it.
        SIZE_T size = GlobalSize(data);
        CString summary = CString("As text - \"") + CString(text, static_cast<int>(strnlen(text, size))) + "\"";
        GlobalUnlock(data);
        list.push_back(std::make_shared<CClipboardTarget>(summary));
    }
    else if (IsClipboardFormatAvailable(CF_BITMAP))
        list.push_back(std::make_shared<CClipboardTarget>("A picture"));
    else if (IsClipboardFormatAvailable(CF_METAFILEPICT))
        list.push_back(std::make_shared<CClipboardTarget>("A metafile"));
}
