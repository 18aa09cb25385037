#include "RecycleBin.h"

#include "afx/Com.h"
#include "model/CleanHost.h"
#include "model/TypeNames.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <shlwapi.h>

namespace
{
// The text of a details column, whole, in UTF-8 (the wide text in a buffer of its own
// size); false when there is none.
bool DetailsText(STRRET& str, LPCITEMIDLIST item, CString& text)
{
    CCoTaskMem<wchar_t> wide;
    if (FAILED(StrRetToStrW(&str, item, wide.Receive())) || !wide.Get())
        return false;
    WideToUtf8(wide.Get(), wcslen(wide.Get()), text);
    return true;
}
} // namespace

CRecycleBin::CRecycleBin() : CCleanTarget("RecBin") {}

int CRecycleBin::Clean()
{
    m_attempted = 1;
    HWND owner = m_pOwner ? m_pOwner->GetOwnerWindow() : nullptr;
    m_cleaned = SHEmptyRecycleBinA(owner, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND) == S_OK
                    ? 1
                    : 0;
    return m_cleaned;
}

CRecycleBinTarget::CRecycleBinTarget(const CString& entryName, const std::shared_ptr<CRecycleBin>& bin)
    : CRelayTarget(entryName, bin)
{
}

const CString& CRecycleBinTarget::GetTypeName() const { return GetTypeText(TN_RECYCLE_BIN_ENTRY); }

void ScanRecycleBin(CFoundItemList& list, HWND owner)
{
    std::shared_ptr<CRecycleBin> bin(new CRecycleBin);

    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive())))
        return;
    CCoTaskMem<ITEMIDLIST> binPidl;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_BITBUCKET, binPidl.Receive())))
        return;
    CComPtr<IShellFolder2> binFolder;
    if (FAILED(desktop->BindToObject(binPidl.Get(), nullptr, IID_IShellFolder2, binFolder.ReceiveVoid())))
        return;
    CComPtr<IEnumIDList> items;
    if (binFolder->EnumObjects(owner, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN,
                               items.Receive()) != S_OK ||
        !items)
        return;

    CCoTaskMem<ITEMIDLIST> item;
    while (items->Next(1, item.Receive(), nullptr) == S_OK)
    {
        SHELLDETAILS details = {};
        CString name;
        if (SUCCEEDED(binFolder->GetDetailsOf(item.Get(), 0, &details)) && DetailsText(details.str, item.Get(), name))
            list.push_back(std::make_shared<CRecycleBinTarget>(name, bin));
    }
}
