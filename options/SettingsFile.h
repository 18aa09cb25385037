// The settings file: the user's choices between runs, as 26 decimal numbers each
// followed by one space, in the "Quorvantis" folder of the roaming application data.
#pragma once

#include "afx/String.h"
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

class CSettingsFile
{
public:
    // appData: the roaming application-data folder ("" gives paths relative to the
    // root of the current drive, as the folder query's failure leaves them).
    explicit CSettingsFile(const CString& appData);

    const CString& GetFolder() const { return m_folder; }
    const CString& GetPath() const { return m_path; }

    // The text of the file for these settings.
    static CString Format(const CSettings& settings);
    // Reads the numbers into settings by the file's rules: the automatic-run mode
    // changes only when a number could be read; from the first number that cannot be
    // read on, every check state is 0; anything after the 26th number is ignored.
    static void Parse(const CString& text, CSettings& settings);

    // Writes the whole file or nothing: a new file beside it replaces the old one
    // only once it is complete. False when it could not be written.
    bool Save(const CSettings& settings) const;
    // Reads the file into settings; false, and settings untouched, when there is none.
    bool Load(CSettings& settings) const;

private:
    CString m_folder;
    CString m_path;
};
