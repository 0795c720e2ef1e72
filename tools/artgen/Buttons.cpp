#include "tools/artgen/Buttons.h"

#include "tools/artgen/Symbols.h"

namespace artgen {

namespace {

enum class State { Normal, Pressed, Hovered, Disabled };

struct Face {
    Rgb top;
    Rgb bottom;
    Rgb border;
    Rgb text;
};

Face FaceOf(ButtonStyle style, State state) {
    if (state == State::Disabled) {
        return {{241, 243, 246}, {226, 230, 236}, {201, 207, 216}, {160, 166, 176}};
    }
    if (style == ButtonStyle::Primary) {
        switch (state) {
            case State::Pressed:
                return {{22, 90, 180}, {44, 122, 212}, {12, 62, 132}, skin::kWhite};
            case State::Hovered:
                return {{98, 170, 244}, {38, 118, 216}, {22, 88, 172}, skin::kWhite};
            default:
                return {skin::kButtonTop, skin::kButtonBottom, {16, 76, 158}, skin::kWhite};
        }
    }
    switch (state) {
        case State::Pressed:
            return {{212, 227, 246}, {236, 243, 252}, {96, 146, 212}, skin::kAccent};
        case State::Hovered:
            return {{250, 253, 255}, {221, 236, 253}, {96, 146, 212}, skin::kAccent};
        default:
            return {skin::kWhite, {235, 241, 249}, {160, 186, 220}, skin::kAccent};
    }
}

Paint Vertical(double top, double bottom, Rgb from, Rgb to, int dy = 0) {
    return [=](int, int y) { return Mix(from, to, (y - dy + 0.5 - top) / (bottom - top)); };
}

// A rounded face with a one-pixel shadow below it and the caption centred.
void DrawFacedButton(Canvas& frame, const ButtonStrip& strip, State state) {
    const double w = strip.frameWidth;
    const double h = strip.frameHeight;
    const Face face = FaceOf(strip.style, state);
    const double radius = h >= 26 ? 5 : 4;
    const Shape body = RoundedRect(0.5, 0.5, w - 0.5, h - 1.5, radius);
    if (state != State::Disabled) {
        frame.FillShape(Offset(body, 0, 1), Rgb{0, 0, 0}, state == State::Pressed ? 0.06 : 0.14);
    }
    frame.FillShape(body, Vertical(0.5, h - 1.5, face.top, face.bottom));
    frame.FillShape(InnerStroke(body, 1.0), face.border);
    if (strip.style == ButtonStyle::Primary && state != State::Disabled &&
        state != State::Pressed) {
        // A faint highlight along the top edge gives the blue face some depth.
        frame.FillShape(InnerStroke(RoundedRect(1.5, 1.5, w - 1.5, h - 2.5, radius - 1), 1.0),
                        skin::kWhite, 0.22);
    }
    const int shift = state == State::Pressed ? 1 : 0;
    const int textHeight = h >= 26 ? 13 : 11;
    frame.Text(strip.caption, {0, shift, strip.frameWidth, strip.frameHeight - 1 + shift},
               {textHeight, true, false}, face.text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// Window buttons: a glyph on the banner, a light plate when hovered.
void DrawWindowButton(Canvas& frame, const ButtonStrip& strip, State state) {
    // The minimise button lies partly under the close button; its glyph and
    // plate stay in the 25 pixels that remain visible.
    const double visible = strip.style == ButtonStyle::Minimize ? 25 : strip.frameWidth;
    const Shape plate = RoundedRect(1, 0, visible - 1, strip.frameHeight - 1, 3);
    if (state == State::Hovered) {
        if (strip.style == ButtonStyle::Close) {
            frame.FillShape(plate, Rgb{214, 52, 44});
        } else {
            frame.FillShape(plate, skin::kWhite, 0.22);
        }
    } else if (state == State::Pressed) {
        if (strip.style == ButtonStyle::Close) {
            frame.FillShape(plate, Rgb{168, 30, 24});
        } else {
            frame.FillShape(plate, Rgb{0, 0, 0}, 0.2);
        }
    }
    const Point centre{visible / 2, (strip.frameHeight - 1) / 2.0};
    const Shape glyph =
        strip.style == ButtonStyle::Close
            ? CrossGlyph(centre, 3.6, 1.6)
            : Segment({centre.x - 4.5, centre.y + 3.5}, {centre.x + 4.5, centre.y + 3.5}, 2.0);
    frame.FillShape(glyph, skin::kWhite, 0.95);
}

// The update tab: a light tab with rounded top corners that joins the white
// page below the banner.
void DrawTab(Canvas& frame, const ButtonStrip& strip, State state) {
    const double w = strip.frameWidth;
    const double h = strip.frameHeight;
    Rgb top = skin::kWhite;
    Rgb bottom = {244, 248, 254};
    if (state == State::Hovered) {
        top = {238, 245, 255};
        bottom = {226, 238, 254};
    } else if (state == State::Pressed) {
        top = {214, 229, 250};
        bottom = {228, 239, 253};
    }
    const Shape tab = RoundedRect(0.5, 2.5, w - 0.5, h + 8, 6);
    frame.FillShape(tab, Vertical(2.5, h, top, bottom));
    const int shift = state == State::Pressed ? 1 : 0;
    frame.FillShape(DownArrowGlyph({17, 11.5 + shift}, 0.95), skin::kAccent);
    frame.Text(strip.caption, {26, 3 + shift, strip.frameWidth - 8, strip.frameHeight + shift},
               {11, true, state == State::Hovered}, skin::kAccent,
               DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace

Canvas DrawButtonStrip(const ButtonStrip& strip) {
    Canvas canvas(strip.frameWidth * strip.frames, strip.frameHeight, skin::kWhite);
    static constexpr State kOrder[] = {State::Normal, State::Pressed, State::Hovered,
                                       State::Disabled};
    for (int i = 0; i < strip.frames; ++i) {
        Canvas frame(strip.frameWidth, strip.frameHeight, skin::kWhite);
        skin::PaintBackdrop(frame, strip.backdrop, strip.backdropRow);
        switch (strip.style) {
            case ButtonStyle::Primary:
            case ButtonStyle::Secondary:
                DrawFacedButton(frame, strip, kOrder[i]);
                break;
            case ButtonStyle::Minimize:
            case ButtonStyle::Close:
                DrawWindowButton(frame, strip, kOrder[i]);
                break;
            case ButtonStyle::Tab:
                DrawTab(frame, strip, kOrder[i]);
                break;
        }
        canvas.Draw(frame, i * strip.frameWidth, 0);
    }
    return canvas;
}

}  // namespace artgen
