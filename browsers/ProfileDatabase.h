// The database clean shared by the browser families: each family gives its rules as a
// table (which file of the profile, what lists, what removes, which type text, which
// trace), and one pipeline lists the rows, bounds the clean by what was listed, and
// runs the removal with whatever else of the profile only served the removed rows.
#pragma once

#include "model/KeepList.h"
#include "model/RelayTarget.h"
#include "model/Tickable.h"

#include <cstddef>
#include <string>
#include <vector>

// What a browser area asks of a profile; the same for every family.
enum BrowserTrace
{
    BT_TYPED,     // typed addresses and search terms
    BT_HISTORY,   // visits
    BT_DOWNLOADS, // the downloads list
    BT_COOKIES,   // cookies
    BT_BOOKMARKS, // bookmarks
    BT_FORMS,     // form values
    BT_NETWORK,   // the hosts the network layer keeps (with the caches)
    BT_SITE_DATA, // the storage sites keep in the profile
    BT_SESSIONS,  // open and closed tabs
};

// How a listed row's columns (after the bound column, if any) make its text.
enum RowShape
{
    ROW_TEXT,   // the first column
    ROW_PAIR,   // "first - second"
    ROW_COOKIE, // "name at hostpath" (name, host, path); a row without a name is not shown
};

// One statement of a clean. Layouts differ between browser versions, so a statement names
// what it needs: items "table" or "table.column" separated by spaces, "!" before one for a
// layout without it, "listed:" before one for the database attached as "listed"; the
// statement runs only where every item holds (nullptr: always). "%LAST%" stands for the
// bound of the listing (see CDatabaseRule::bounded). Lists end with {nullptr, nullptr}.
struct CStatement
{
    const char* needs;
    const char* sql;
};

// Statements on another file of the profile that hold what only the removed rows needed
// (icons of removed pages, say), run after the rule's own with the rule's database
// attached as "listed". A file that is not there is skipped. Lists end with
// {nullptr, nullptr}.
struct CFollowUp
{
    const char* file;
    const CStatement* statements;
};

// How a rule knows that the layout it found is one it understands: sql (run after the
// rule's preparation) gives a count, and 0 means the layout is not known; the rows are
// then neither listed nor removed, and unknown says so.
struct CLayoutCheck
{
    const char* sql;
    const char* unknown;
};

struct CDatabaseRule
{
    int trace;            // a BrowserTrace
    const char* files[2]; // below the profile; the first that exists is read
    int kind;             // the type text of its rows
    const char* needs;    // the layout the listing needs (as CStatement::needs)
    const char* listing;  // nullptr: the file itself is listed and removed
    RowShape shape;
    bool bounded;               // the listing's first column is a row id, and the clean
                                // removes only rows up to the largest listed
    const CStatement* clean;    // in one transaction
    const CStatement* residue;  // then, in the same transaction; may be nullptr
    const CFollowUp* followUps; // may be nullptr
    // Temporary tables the listing and the clean both read (the layout's own folders,
    // say), made before either; may be nullptr.
    const CStatement* prepare = nullptr;
    const CLayoutCheck* known = nullptr;
    // For cookies: the distinct sites they name, one column.
    const char* sites = nullptr;
};

// A family: its rules and the type text of its cleaners.
struct CBrowserFamily
{
    const CDatabaseRule* rules;
    size_t count;
    int cleanerType;
};

// Lists what every rule of trace finds in one profile folder (ending with a backslash).
// A database that is not there gives nothing and is never made; one that cannot be read
// is reported; one left by a crash with a journal to roll back is read as the browser
// will see it once recovered, and said. Reading never writes to the profile. A database
// that is, or has beside it, a file the clean could not write safely (a link, a name
// shared with a file elsewhere: see CheckPlainFile) is skipped and said, and so is one of
// a layout its rule does not know. Stored triggers and views never run. The rules'
// statements call qv_kept(host), which is 1 for a site of keep (nullptr keeps none), and
// qv_origin_host(key) for the host of a Firefox storage key.
void ScanProfileDatabases(const CBrowserFamily& family, const CString& profile, int trace,
                          CFoundItemList& list, CTickable& tick, const CKeepListPtr& keep = nullptr);

// The distinct sites (hosts without a leading dot) the cookies of one profile name, read
// as the scan reads (nothing is written to the profile); added to sites.
void ListCookieSites(const CBrowserFamily& family, const CString& profile, std::vector<std::string>& sites,
                     CTickable& tick);

// What the clean of trace runs on the first database of the profile that one of its
// rules lists from: the listing, and the clean as one script bounded by last (the
// statements the layout of that database takes). Benchmarks compare them with the sqlite3
// tool. Empty when no rule of trace lists from a database there.
struct CCleanScript
{
    CString database;
    std::string listing;
    std::string clean;
};
CCleanScript DescribeClean(const CBrowserFamily& family, const CString& profile, int trace, long long last);

// A listed row; its clean is the one of its rule, run once for the group.
class CDatabaseRowTarget : public CRelayTarget
{
public:
    CDatabaseRowTarget(const CString& displayText, const CCleanTargetPtr& cleaner, int kind);
    const CString& GetTypeName() const override;
    int GetKind() const { return m_kind; }

private:
    int m_kind;
};

// The longest row text shown, in UTF-16 units; a longer one is shown empty.
const int kMaxRowUnits = 4192;
