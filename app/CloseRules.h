// What the main window's minimise and close requests mean, from the user's settings,
// the tray state and the service's last job state.
#pragma once

#include <cstdint>

enum class CloseButtonAction { HideToTray, ResetAndClose };
enum class MinimizeButtonAction { Minimize, HideToTray };
enum class SystemCloseAction { HideToTray, ConfirmStopThenClose, Close };

// The title-bar close button: CloseSetting 0 keeps the program in the tray.
CloseButtonAction ActionForCloseButton(std::int32_t closeSetting);

// The title-bar minimise button: MinimizeSetting non-zero hides to the tray.
MinimizeButtonAction ActionForMinimizeButton(std::int32_t minimizeSetting);

// The system close command. A window already in the tray is being exited from its
// menu, so it closes instead of hiding again; a running job is confirmed first.
SystemCloseAction ActionForSystemClose(std::int32_t closeSetting, bool inTray,
                                       std::int32_t jobState);
