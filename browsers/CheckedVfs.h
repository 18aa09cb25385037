// The SQLite file layer through which browser databases are opened: SQLite's own Windows
// layer, but every named file (a database, its journal, its write-ahead log) is checked on
// the very handle SQLite goes on to use, and deleted only by a handle checked the same way,
// so that a name planted as a link, or a name shared with a file elsewhere, is never
// written through. SQLite's own scratch files, made new under names of its own, pass.
#pragma once

#include "afx/String.h"

// The layer's name for sqlite3_open_v2; it is registered at the first call, never as the
// default layer.
const char* CheckedVfsName();

// Why the last open or delete on this thread was refused ("History-wal leads elsewhere
// (a link)"), or "" when none was; forgotten once taken.
CString TakeFileRefusal();
