// The program's version: the one place it is written. The version resources, the About
// page, the console's --version, the installer and its file name all take it from here.
#pragma once

#define QV_VERSION_TEXT "1.4"
#define QV_FILE_VERSION_TEXT "1.4.0.0"
#define QV_VERSION_NUMBERS 1, 4, 0, 0
