#include "ui/widgets/SharedBrushes.h"

#include "framework/Gdi.h"

namespace {

struct SharedBrushes {
    fw::Brush white{CreateSolidBrush(kWhiteBrushColour)};
    fw::Brush cream{CreateSolidBrush(kCreamBrushColour)};
    fw::Brush mint{CreateSolidBrush(kMintBrushColour)};
};

const SharedBrushes& Brushes() {
    static const SharedBrushes brushes;
    return brushes;
}

}  // namespace

void BuildSharedBrushes() {
    Brushes();
}

HBRUSH WhiteBrush() {
    return Brushes().white.Get();
}

HBRUSH CreamBrush() {
    return Brushes().cream.Get();
}

HBRUSH MintBrush() {
    return Brushes().mint.Get();
}

HBRUSH HollowBrush() {
    return static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
}
