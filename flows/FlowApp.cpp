#include "flows/FlowApp.h"

#include "app/DefragApp.h"
#include "app/MainWindow.h"
#include "res/resource.h"
#include "service/JobCommandSender.h"
#include "ui/StringPool.h"

CDefragApp* FlowApp() {
    return dynamic_cast<CDefragApp*>(fw::Application::Current());
}

CDlgMainDefrag* FlowMainWindow() {
    return MainWindow();
}

const std::wstring& FlowTitle() {
    CDefragApp* app = FlowApp();
    return app != nullptr ? app->Title : LoadPooledString(IDS_APP_TITLE);
}

ProgramSettings* FlowSettings() {
    CDefragApp* app = FlowApp();
    return app != nullptr ? &app->Settings : nullptr;
}

DriveItems* FlowDrives() {
    CDefragApp* app = FlowApp();
    return app != nullptr ? &app->Drives : nullptr;
}

wchar_t FlowCurrentDrive() {
    const DriveItems* drives = FlowDrives();
    return drives != nullptr ? drives->CurrentDriveLetter : 0;
}

void SetFlowWorkflowStep(int step) {
    if (CDlgMainDefrag* main = MainWindow()) {
        main->SetWorkflowStep(step);
    }
}

void InvalidateMainWindow(const RECT& area) {
    if (CDlgMainDefrag* main = MainWindow()) {
        main->Invalidate(&area, false);
    }
}

int SendFlowJobCommand(vantrel::service::CellCountSource& cells, std::int32_t code, wchar_t letter,
                       std::int32_t flag) {
    CDlgMainDefrag* main = MainWindow();
    if (main == nullptr) {
        return 0;
    }
    return vantrel::service::SendJobCommand(main->Service(), cells, code, letter, flag);
}
