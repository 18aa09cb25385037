// The one application object of Quorvantis.exe.
#include "QuorvantisApp.h"

CQuorvantisApp theApp;
