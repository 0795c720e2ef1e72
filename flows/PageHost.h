// What the pages of the scan-and-optimize flow need from the window that hosts them:
// the program's title, settings with the drive history, the drive items and the map
// cache; the defrag service; and the host's own reactions (the workflow indicator,
// the last job state, whether a job runs, a repaint of its summary area).
//
// The main window implements it and hands it to the page container; tests hand in
// hosts of their own, so the pages never reach the application or the main window
// themselves.
#pragma once

#include <windows.h>

#include <string>

#include "flows/MapCache.h"
#include "service/JobService.h"
#include "state/DriveItems.h"
#include "state/ProgramSettings.h"

class PageHost {
  public:
    virtual ~PageHost() = default;

    // The application title, the caption of every message box.
    virtual const std::wstring& Title() const = 0;
    virtual ProgramSettings& Settings() = 0;
    virtual DriveItems& Drives() = 0;
    virtual MapCache& VolumeMapCache() = 0;
    virtual vantrel::service::JobService& Service() = 0;

    // Moves the workflow indicator (1 Welcome, 2 Scan, 3 Results, 4 Optimize).
    virtual void SetWorkflowStep(int step) = 0;
    // The last answer of GetJobState.
    virtual void RecordJobState(long state, long detail) = 0;
    // Whether a job runs: the host locks or unlocks what may not be used meanwhile.
    // Posted, so that it reaches the host after the current message.
    virtual void PostJobActivity(bool idle) = 0;
    // Repaints an area of the host (its own coordinates).
    virtual void InvalidateHostArea(const RECT& area) = 0;

    // A page reads a finished job's results and handles messages meanwhile. The host
    // holds back a close the user asks for until the reading has ended, and asks the
    // reading to end early then.
    virtual void BeginResultsLoad() = 0;
    virtual bool ResultsLoadCancelled() const = 0;
    virtual void EndResultsLoad() = 0;

    // The drive the user works on; 0 when none.
    wchar_t CurrentDrive() { return Drives().CurrentDriveLetter; }
};
