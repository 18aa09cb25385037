// What the user keeps: sites whose cookies and site data stay (a site keeps its
// sub-domains, never a look-alike that only ends with its text), and folders or files that
// are never listed. The text form is the one of "keep.cfg": one "site=" or "path=" line each.
#pragma once

#include "afx/String.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class CKeepList
{
public:
    // A site as it is kept: lower case, in the ASCII form the browsers store
    // (an internationalised name in its "xn--" form), without a scheme, port, path, leading
    // or trailing dot; "" when text names no site.
    static std::string NormalizeSite(const std::string& text);

    // False (nothing added) when text names no site.
    bool AddSite(const std::string& text);
    bool RemoveSite(const std::string& site);
    // A folder or file, as given and as the file system names it (resolved; the same
    // when it could not be resolved).
    void AddPath(const CString& given, const CString& resolved);
    bool RemovePath(const CString& given);

    // Whether a host (as a cookie or an origin names it: any case, a leading dot) is a
    // kept site or below one.
    bool IsSiteKept(const std::string& host) const;
    bool HasSites() const { return !m_sites.empty(); }
    // Whether path is a kept folder or file, or lies below a kept folder.
    bool IsPathKept(const CString& path) const;
    // Whether a kept folder or file lies below folder (so that folder must stay).
    bool HoldsKeptPath(const CString& folder) const;
    bool HasPaths() const { return !m_paths.empty(); }

    // In the order they were added.
    const std::vector<std::string>& GetSites() const { return m_siteOrder; }
    std::vector<CString> GetPaths() const;

    CString Format() const;
    // Reads the text form; false (with the line that could not be read in error) when a
    // line is neither blank, a "#" comment, nor a site or path that can be kept. Paths
    // are taken as given; the caller resolves them (SetResolved).
    bool Parse(const CString& text, CString& error);
    void SetResolved(size_t index, const CString& resolved) { m_paths[index].resolved = resolved; }

private:
    struct CKeptPath
    {
        CString given;
        CString resolved;
    };
    std::unordered_set<std::string> m_sites;
    std::vector<std::string> m_siteOrder;
    std::vector<CKeptPath> m_paths;
};

typedef std::shared_ptr<const CKeepList> CKeepListPtr;
