// The program's entry point: runs the one CWinApp object.
#include "App.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    int result = 0;
    try
    {
        if (app->InitInstance())
            result = app->Run();
        else
            result = app->ExitInstance();
    }
    catch (...)
    {
        AfxReportCurrentException("the program's start or end");
        result = 1;
    }
    return result;
}
