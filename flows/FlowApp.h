// How the drive selection and results pages reach the program around them: the
// application object (settings with the drive history, the drive items) and the
// main window (workflow steps, the service record). A page made without them, as
// tests may do, skips what needs them.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "service/CellCountSource.h"
#include "state/DriveItems.h"
#include "state/ProgramSettings.h"

class CDefragApp;
class CDlgMainDefrag;

// The application object of the process; null when there is none.
CDefragApp* FlowApp();
// The main window; null before it is created and after it is gone.
CDlgMainDefrag* FlowMainWindow();

// The application title, the caption of every message box.
const std::wstring& FlowTitle();

// The drive history and the drive items of the application; null without one.
ProgramSettings* FlowSettings();
DriveItems* FlowDrives();
// The drive the user works on; 0 when none (or no application).
wchar_t FlowCurrentDrive();

// Moves the main window's workflow indicator, when there is a main window.
void SetFlowWorkflowStep(int step);

// Repaints an area of the main window, when there is one.
void InvalidateMainWindow(const RECT& area);

// SendJobCommand through the main window's service record: 1 once the service was
// found running and took the command, 0 when it could not be reached (or there is
// no main window).
int SendFlowJobCommand(vantrel::service::CellCountSource& cells, std::int32_t code, wchar_t letter,
                       std::int32_t flag);
