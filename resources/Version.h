// The program's version, for the version resources and the console's --version.
#pragma once

#define QV_VERSION_TEXT "1.4"
#define QV_FILE_VERSION_TEXT "1.4.0.0"
#define QV_VERSION_NUMBERS 1, 4, 0, 0
