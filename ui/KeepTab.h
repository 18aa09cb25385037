// The "Keep" tab of the clean options: the sites whose cookies and site data stay (chosen
// from the sites the browsers' cookies name, or typed), and the folders and files that
// are never listed. Every change is saved at once, through the owner.
#pragma once

#include "afx/Controls.h"
#include "model/KeepList.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CKeepTab
{
public:
    // save writes the list (false when it could not, said by the owner); tell shows a
    // message to the user.
    void Create(CWnd* parent, const std::function<bool()>& save, const std::function<void(const CString&)>& tell);
    std::vector<CWnd*> GetControls();

    // The list the tab shows and changes.
    void SetList(const std::shared_ptr<CKeepList>& keep);
    // A line under the lists (why the keep file cannot be used); "" for none.
    void SetNote(const CString& note);
    // The sites the browsers' cookies name; those kept are not shown among them.
    void SetFoundSites(const std::vector<std::string>& sites);
    bool HasFoundSites() const { return m_foundRead; }

    // A command of one of the tab's controls; false for any other.
    bool OnCommand(UINT id, UINT code);
    // For tests and keyboards: what the buttons do.
    bool KeepSite(const CString& text);
    bool RemoveSite(int row);
    bool AddPath(const CString& path);
    bool RemovePath(int row);

private:
    void Fill();
    CString BrowseForPlace();

    std::shared_ptr<CKeepList> m_keep;
    std::vector<std::string> m_found;
    CString m_noteText; // until the tab is made
    bool m_foundRead = false;
    std::function<bool()> m_save;
    std::function<void(const CString&)> m_tell;
    CWnd* m_parent = nullptr;
    CStatic m_foundLabel, m_sitesLabel, m_pathsLabel, m_note;
    CListBox m_foundList, m_sites, m_paths;
    CEdit m_siteEdit;
    CButton m_keepButton, m_removeButton, m_typeButton, m_browseButton, m_removePathButton;
};
