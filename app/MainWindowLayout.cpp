#include "app/MainWindowLayout.h"

namespace main_layout {

UINT StepImage(int step, bool current) {
    static constexpr UINT kImages[kStepCount][2] = {
        {IDB_STEP_WELCOME, IDB_STEP_WELCOME_CURRENT},
        {IDB_STEP_SCAN, IDB_STEP_SCAN_CURRENT},
        {IDB_STEP_RESULTS, IDB_STEP_RESULTS_CURRENT},
        {IDB_STEP_OPTIMIZE, IDB_STEP_OPTIMIZE_CURRENT},
    };
    if (step < 1 || step > kStepCount) {
        return 0;
    }
    return kImages[step - 1][current ? 1 : 0];
}

bool InDragBand(POINT client, int clientWidth) {
    return client.y >= 0 && client.y < kDragBandHeight && client.x >= 0 && client.x < clientWidth;
}

Link LinkAt(POINT client, const RECT& aboutArea, const RECT& helpArea) {
    if (PtInRect(&aboutArea, client)) {
        return Link::About;
    }
    if (PtInRect(&helpArea, client)) {
        return Link::Help;
    }
    return Link::None;
}

}  // namespace main_layout
