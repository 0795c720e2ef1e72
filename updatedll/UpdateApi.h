// The five calls of update.dll, the download library that fetches the update
// manifest and the installer. Strings are ANSI in the calling thread's code page.
// Every call stops C++ exceptions at its boundary; every failure answers zero.
#pragma once

#include <windows.h>

#ifdef VANTREL_BUILDING_UPDATE_DLL
#define VANTREL_UPDATE_API extern "C" __declspec(dllexport)
#else
#define VANTREL_UPDATE_API extern "C" __declspec(dllimport)
#endif

// Nonzero when the system says this machine reaches the internet.
VANTREL_UPDATE_API int WINAPI UpdIsConnected(void);

// Empties the list of files to fetch. Always nonzero.
VANTREL_UPDATE_API int WINAPI UpdClearFiles(void);

// Adds one file: an http or https address and the local path it is stored at. Zero
// (and nothing added) for an address or a path that cannot be used.
VANTREL_UPDATE_API int WINAPI UpdAddFile(const char* source, const char* localPath);

// Sets an option of the next transfer. Known: "hidden" ("0" shows a progress window
// owned by the window given to UpdDownloadFiles, "1" shows nothing). Zero for an
// unknown name or value.
VANTREL_UPDATE_API int WINAPI UpdSetOption(const char* name, const char* value);

// Fetches every listed file to its local path and blocks until done. Each file is
// written under a temporary name beside its local path and moved into place only
// when every file of the list arrived whole, so a failure or a cancel leaves no new
// or partial file behind. Nonzero on success.
VANTREL_UPDATE_API int WINAPI UpdDownloadFiles(HWND owner);
