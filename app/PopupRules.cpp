#include "app/PopupRules.h"

#include <algorithm>
#include <cstdlib>

namespace popup {

namespace {

bool Inside(const RECT& rect, POINT point) {
    return PtInRect(&rect, point) != FALSE;
}

}  // namespace

POINT AnchorFor(const RECT& workArea) {
    return {workArea.right - kRightMargin, workArea.bottom};
}

RECT FinalRect(POINT anchor, int width, int height) {
    return {anchor.x - width, anchor.y - height, anchor.x, anchor.y};
}

RECT TitleRect(int clientWidth) {
    return {5, 63, clientWidth, 85};
}

RECT MessageRect(int clientWidth) {
    return {10, 81, clientWidth - 10, 130};
}

bool operator==(const State& a, const State& b) {
    return EqualRect(&a.rect, &b.rect) != FALSE && a.opacity == b.opacity;
}

int FadeStepCount(UINT animationMs, UINT stepPeriodMs) {
    if (stepPeriodMs == 0) {
        return 1;
    }
    return std::max(1, static_cast<int>(animationMs / stepPeriodMs));
}

int StepTowards(int current, int target, int stepsLeft) {
    if (current == target) {
        return current;
    }
    const int distance = std::abs(current - target);
    const int step = std::max(1, distance / std::max(1, stepsLeft));
    return current < target ? current + step : current - step;
}

State FadeStep(const State& current, const State& target, int stepsLeft) {
    State next = current;
    next.rect.left = StepTowards(current.rect.left, target.rect.left, stepsLeft);
    next.rect.top = StepTowards(current.rect.top, target.rect.top, stepsLeft);
    next.rect.right = StepTowards(current.rect.right, target.rect.right, stepsLeft);
    next.rect.bottom = StepTowards(current.rect.bottom, target.rect.bottom, stepsLeft);
    next.opacity = StepTowards(current.opacity, target.opacity, stepsLeft);
    return next;
}

int HotBandAt(POINT client) {
    if (Inside(kHotBand1, client)) {
        return 1;
    }
    if (Inside(kHotBand2, client)) {
        return 2;
    }
    return 0;
}

bool InTextHoverArea(POINT client) {
    return Inside(kTextHoverArea, client);
}

bool InCloseMark(POINT client) {
    return Inside(kCloseMark, client);
}

bool ScanNeedsElevation(unsigned osMajorVersion, bool isAdmin) {
    return osMajorVersion == 6 && !isAdmin;
}

std::wstring ScanParameters(wchar_t driveLetter) {
    std::wstring parameters = L"-scan ?";
    parameters.back() = driveLetter;
    return parameters;
}

}  // namespace popup
