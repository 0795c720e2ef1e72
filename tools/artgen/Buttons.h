// Hover button strips: frames side by side (normal, pressed, hovered, and for
// four-frame strips disabled), the caption drawn into every frame.
#pragma once

#include <string_view>

#include "tools/artgen/Canvas.h"
#include "tools/artgen/Skin.h"

namespace artgen {

enum class ButtonStyle {
    Primary,    // blue face, white caption: the actions that move on
    Secondary,  // light face, blue caption: stop, cancel, back
    Minimize,   // glyph only, on the banner
    Close,      // glyph only, on the banner, red when hovered
    Tab,        // the update tab hanging from the banner
};

struct ButtonStrip {
    int frameWidth;
    int frameHeight;
    int frames;  // 3, or 4 with a disabled frame
    ButtonStyle style;
    std::wstring_view caption;
    skin::Backdrop backdrop;  // what the button sits on, so its corners blend in
    int backdropRow;          // the backdrop's row under the button's top
};

Canvas DrawButtonStrip(const ButtonStrip& strip);

}  // namespace artgen
