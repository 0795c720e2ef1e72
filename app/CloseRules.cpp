#include "app/CloseRules.h"

#include "service/JobRecords.h"

CloseButtonAction ActionForCloseButton(std::int32_t closeSetting) {
    return closeSetting == 0 ? CloseButtonAction::HideToTray : CloseButtonAction::ResetAndClose;
}

MinimizeButtonAction ActionForMinimizeButton(std::int32_t minimizeSetting) {
    return minimizeSetting == 0 ? MinimizeButtonAction::Minimize : MinimizeButtonAction::HideToTray;
}

SystemCloseAction ActionForSystemClose(std::int32_t closeSetting, bool inTray,
                                       std::int32_t jobState) {
    if (closeSetting == 0 && !inTray) {
        return SystemCloseAction::HideToTray;
    }
    return jobState == vantrel::service::JobState::Running ? SystemCloseAction::ConfirmStopThenClose
                                                           : SystemCloseAction::Close;
}
