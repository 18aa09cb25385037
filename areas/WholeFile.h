// A file the program writes whole or not at all: its own settings, or a browser file it
// edits. The text goes into a new file of its own name (created new, checked by handle
// before the first byte), which then takes the file's name through that handle.
#pragma once

#include "afx/String.h"

// Writes text as the whole file at path (in folder, which is made when missing) or
// nothing. The file that is there is replaced (or, with keepAs, first kept under that
// name) only when it is a plain file of one name in that folder; a link, a second name of
// another file or a read-only file is left as it is and the write refused. False, with
// the reason in error, when nothing was written.
bool WriteWholeFile(const CString& folder, const CString& path, const CString& text, CString& error,
                    const CString& keepAs = CString());
