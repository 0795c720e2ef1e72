// vantrel.exe: everything happens in the application object's start-up routine.
#include <windows.h>

#include "app/DefragApp.h"
#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CDefragApp app;
    return fw::RunApplication(app);
}
