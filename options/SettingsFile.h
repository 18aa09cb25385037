// The settings file: the user's choices between runs, as 28 decimal numbers each
// followed by one space, in the "Quorvantis" folder of the roaming application data.
#pragma once

#include "afx/String.h"
#include "areas/WholeFile.h"
#include "engine/Catalogue.h"

// What the file holds, in file order. Check states are kept as read (the window gives
// them to its check boxes); the file is written with each masked to 0 or 1.
struct CSettings
{
    // The choices of a user who has made none; the areas as the catalogue marks them.
    CSettings();

    // 0 "Don't auto run", 1 "Run and scan automatically", 2 "Run, scan and clean
    // automatically"; any other value read leaves no automatic-run choice made.
    long autoRunMode = 0;
    long areas[AREA_COUNT]; // in area id order
    long showSplash = 1;
    long shred = 1;
    long dontShowWipeNotice = 0;
};

// What became of reading the file.
enum SettingsLoad
{
    SETTINGS_READ,          // read by the file's rules
    SETTINGS_MISSING,       // there is no file: the defaults, as for a new user
    SETTINGS_UNREADABLE,    // there is a file, but it could not be read (held, denied)
    SETTINGS_NOT_UNDERSTOOD // there is a file, but it is not a list of numbers
};

class CSettingsFile
{
public:
    // appData: the roaming application-data folder ("" gives paths relative to the
    // root of the current drive, as the folder query's failure leaves them).
    explicit CSettingsFile(const CString& appData);

    const CString& GetFolder() const { return m_folder; }
    const CString& GetPath() const { return m_path; }
    // Where a file that could not be read or understood is kept when a save replaces it.
    CString GetKeptPath() const { return m_path + ".bad"; }

    // The text of the file for these settings.
    static CString Format(const CSettings& settings);
    // Reads the numbers into settings by the file's rules: the automatic-run mode
    // changes only when a number could be read; from the first number that cannot be
    // read on, every check state is 0; the areas added after the first design (the
    // last numbers) take their defaults when the file ends before them; anything after
    // the 28th number is ignored.
    static void Parse(const CString& text, CSettings& settings);
    // Whether text is what this program writes or could have written: decimal numbers
    // (with an optional sign) separated by white space, and nothing else.
    static bool IsUnderstood(const CString& text);

    // Writes the whole file or nothing, through a new file of its own (created new, under
    // a name of its own, checked by handle before the first byte) that then takes the
    // file's name. A read-only file is never replaced. When keepOld is set the file that
    // is there is kept as GetKeptPath() first. False, with the reason in error, when the
    // file could not be written: the old one is then as it was.
    bool Save(const CSettings& settings, CString& error, bool keepOld = false) const;
    bool Save(const CSettings& settings) const
    {
        CString error;
        return Save(settings, error);
    }
    // Reads the file into settings; settings are untouched unless SETTINGS_READ, and
    // error says why for SETTINGS_UNREADABLE and SETTINGS_NOT_UNDERSTOOD.
    SettingsLoad Load(CSettings& settings, CString* error = nullptr) const;

private:
    CString m_folder;
    CString m_path;
};
