#include "KeepTab.h"

#include "engine/KeepFile.h"
#include "exmfc/Drawing.h"
#include "exmfc/Fonts.h"
#include "resources/resource.h"

#include <shlobj.h>

namespace
{
// The tab's controls below the tab strip, at 96 DPI: two lists of sites with the buttons
// between them, the typed site, a note, and the places never listed.
const CRect kFoundLabel(262, 208, 412, 224), kSitesLabel(500, 208, 632, 224);
const CRect kFoundList(262, 226, 412, 300), kSitesList(500, 226, 632, 300);
const CRect kKeepButton(418, 236, 494, 258), kRemoveButton(418, 266, 494, 288);
const CRect kSiteEdit(262, 306, 412, 327), kTypeButton(418, 305, 494, 327);
const CRect kNote(262, 332, 632, 348);
const CRect kPathsLabel(262, 352, 556, 368), kPathsList(262, 370, 556, 404);
const CRect kBrowseButton(562, 352, 632, 374), kRemovePathButton(562, 380, 632, 402);

const DWORD kListStyle = WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
} // namespace

void CKeepTab::Create(CWnd* parent, const std::function<bool()>& save, const std::function<void(const CString&)>& tell)
{
    using exmfc::Scaled;
    m_parent = parent;
    m_save = save;
    m_tell = tell;
    m_foundLabel.Create(CString::FromResource(IDS_KEEP_FOUND), SS_NOPREFIX, Scaled(kFoundLabel), parent);
    m_sitesLabel.Create(CString::FromResource(IDS_KEEP_SITES), SS_NOPREFIX, Scaled(kSitesLabel), parent);
    m_foundList.Create(kListStyle, Scaled(kFoundList), parent, IDC_KEEP_FOUND);
    m_keepButton.Create("Keep >", WS_TABSTOP | BS_PUSHBUTTON, Scaled(kKeepButton), parent, IDC_KEEP_ADD);
    m_removeButton.Create("< Remove", WS_TABSTOP | BS_PUSHBUTTON, Scaled(kRemoveButton), parent, IDC_KEEP_REMOVE);
    m_sites.Create(kListStyle, Scaled(kSitesList), parent, IDC_KEEP_SITES);
    m_siteEdit.Create(WS_TABSTOP | ES_AUTOHSCROLL, Scaled(kSiteEdit), parent, IDC_KEEP_SITE_EDIT);
    m_siteEdit.LimitText(253);
    m_typeButton.Create("Add", WS_TABSTOP | BS_PUSHBUTTON, Scaled(kTypeButton), parent, IDC_KEEP_TYPE);
    m_note.Create(m_noteText.IsEmpty() ? CString::FromResource(IDS_KEEP_HINT) : m_noteText,
                  SS_NOPREFIX | SS_ENDELLIPSIS, Scaled(kNote), parent, IDC_KEEP_NOTE);
    m_pathsLabel.Create(CString::FromResource(IDS_KEEP_PATHS), SS_NOPREFIX, Scaled(kPathsLabel), parent);
    m_paths.Create(kListStyle | WS_HSCROLL, Scaled(kPathsList), parent, IDC_KEEP_PATHS);
    m_browseButton.Create("Browse...", WS_TABSTOP | BS_PUSHBUTTON, Scaled(kBrowseButton), parent, IDC_KEEP_BROWSE);
    m_removePathButton.Create("Remove", WS_TABSTOP | BS_PUSHBUTTON, Scaled(kRemovePathButton), parent,
                              IDC_KEEP_REMOVE_PATH);
    for (CWnd* control : GetControls())
        control->SetFont(exmfc::GetFontHandle(exmfc::FONT_TEXT));
}

std::vector<CWnd*> CKeepTab::GetControls()
{
    // In the order Tab moves through them.
    return {&m_foundLabel, &m_foundList,  &m_keepButton, &m_removeButton,  &m_sitesLabel,
            &m_sites,      &m_siteEdit,   &m_typeButton, &m_note,          &m_pathsLabel,
            &m_paths,      &m_browseButton, &m_removePathButton};
}

void CKeepTab::SetList(const std::shared_ptr<CKeepList>& keep)
{
    m_keep = keep;
    Fill();
}

void CKeepTab::SetNote(const CString& note)
{
    m_noteText = note;
    if (m_note.m_hWnd)
        m_note.SetWindowText(note.IsEmpty() ? CString::FromResource(IDS_KEEP_HINT) : note);
}

void CKeepTab::SetFoundSites(const std::vector<std::string>& sites)
{
    m_found = sites;
    m_foundRead = true;
    Fill();
}

void CKeepTab::Fill()
{
    if (!m_keep || !m_sites.m_hWnd)
        return;
    m_foundList.ResetContent();
    for (const std::string& site : m_found)
        if (!m_keep->IsSiteKept(site))
            m_foundList.AddString(site.c_str());
    m_sites.ResetContent();
    for (const std::string& site : m_keep->GetSites())
        m_sites.AddString(site.c_str());
    m_paths.ResetContent();
    // A path wider than the list can be scrolled to; the bar shows only then.
    HDC dc = ::GetDC(m_paths.m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, exmfc::GetFontHandle(exmfc::FONT_TEXT));
    int widest = 0;
    for (const CString& path : m_keep->GetPaths())
    {
        m_paths.AddString(path);
        SIZE size = {};
        if (::GetTextExtentPoint32A(dc, path, path.GetLength(), &size) && size.cx > widest)
            widest = size.cx;
    }
    ::SelectObject(dc, old);
    ::ReleaseDC(m_paths.m_hWnd, dc);
    m_paths.SendMessage(LB_SETHORIZONTALEXTENT, widest + exmfc::Scaled(6));
}

bool CKeepTab::KeepSite(const CString& text)
{
    if (!m_keep->AddSite(text.str()))
    {
        m_tell("\"" + text + "\" is not the name of a site (such as example.com).");
        return false;
    }
    Fill();
    return m_save();
}

bool CKeepTab::RemoveSite(int row)
{
    if (row < 0 || row >= m_sites.GetCount() || !m_keep->RemoveSite(m_sites.GetText(row).str()))
        return false;
    Fill();
    m_sites.SetCurSel(row < m_sites.GetCount() ? row : m_sites.GetCount() - 1);
    return m_save();
}

bool CKeepTab::AddPath(const CString& path)
{
    const CString resolved = ResolveKeptPath(path);
    if (resolved.IsEmpty())
    {
        m_tell(path + " could not be found.");
        return false;
    }
    m_keep->AddPath(path, resolved);
    Fill();
    return m_save();
}

bool CKeepTab::RemovePath(int row)
{
    if (row < 0 || row >= m_paths.GetCount() || !m_keep->RemovePath(m_paths.GetText(row)))
        return false;
    Fill();
    return m_save();
}

CString CKeepTab::BrowseForPlace()
{
    BROWSEINFOW info = {};
    info.hwndOwner = m_parent->m_hWnd;
    info.lpszTitle = L"Choose a folder or a file that Quorvantis never lists:";
    info.ulFlags = BIF_BROWSEINCLUDEFILES | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen)
        return CString();
    wchar_t path[MAX_PATH] = {};
    CString text;
    if (SHGetPathFromIDListW(chosen, path))
        WideToUtf8(path, wcslen(path), text);
    CoTaskMemFree(chosen);
    return text;
}

bool CKeepTab::OnCommand(UINT id, UINT code)
{
    switch (id)
    {
    case IDC_KEEP_ADD:
        if (code == BN_CLICKED && m_foundList.GetCurSel() >= 0)
            KeepSite(m_foundList.GetText(m_foundList.GetCurSel()));
        return true;
    case IDC_KEEP_FOUND:
        if (code == LBN_DBLCLK && m_foundList.GetCurSel() >= 0)
            KeepSite(m_foundList.GetText(m_foundList.GetCurSel()));
        return true;
    case IDC_KEEP_REMOVE:
        if (code == BN_CLICKED)
            RemoveSite(m_sites.GetCurSel());
        return true;
    case IDC_KEEP_TYPE:
        if (code == BN_CLICKED && !m_siteEdit.GetWindowText().IsEmpty() && KeepSite(m_siteEdit.GetWindowText()))
            m_siteEdit.SetWindowText("");
        return true;
    case IDC_KEEP_BROWSE:
        if (code == BN_CLICKED)
        {
            const CString path = BrowseForPlace();
            if (!path.IsEmpty())
                AddPath(path);
        }
        return true;
    case IDC_KEEP_REMOVE_PATH:
        if (code == BN_CLICKED)
            RemovePath(m_paths.GetCurSel());
        return true;
    case IDC_KEEP_SITES:
    case IDC_KEEP_PATHS:
    case IDC_KEEP_SITE_EDIT:
        return true;
    }
    return false;
}
