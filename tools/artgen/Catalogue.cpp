#include "tools/artgen/Catalogue.h"

#include <utility>

#include "tools/artgen/Buttons.h"
#include "tools/artgen/JpegFile.h"
#include "tools/artgen/PageArt.h"
#include "tools/artgen/ReportArt.h"
#include "tools/artgen/Skin.h"
#include "tools/artgen/Symbols.h"
#include "tools/artgen/WindowArt.h"

namespace artgen {

namespace {

using skin::Backdrop;

Artwork Bitmap(std::wstring name, std::function<Canvas()> draw) {
    return {std::move(name) + L".bmp", [draw = std::move(draw)] { return EncodeBmp24(draw()); }};
}

// The report pictures are JPEG files, named after their resources.
Artwork Jpeg(std::wstring name, std::function<Canvas()> draw) {
    return {L"report_" + std::move(name) + L".jpg",
            [draw = std::move(draw)] { return EncodeJpeg(draw()); }};
}

Artwork Button(std::wstring name, ButtonStrip strip) {
    return Bitmap(std::move(name), [strip] { return DrawButtonStrip(strip); });
}

// The program's icon: the mark on its own, transparent around it.
Bytes EncodeAppIcon() {
    Canvas small = Canvas::Transparent(16, 16);
    DrawLogo(small, 0.5, 0, 15);
    Canvas large = Canvas::Transparent(32, 32);
    DrawLogo(large, 1, 0, 30);
    return EncodeIcon({&small, &large});
}

// A pointing hand whose fingertip is the hot spot (column 7, row 0).
Bytes EncodeHandCursor() {
    static const std::vector<std::string> kHand = {
        "      BB",           "     BWWB",          "     BWWB",          "     BWWB",
        "     BWWB",          "     BWWBBB",        "     BWWBWWBBB",     "     BWWBWWBWWBB",
        "     BWWBWWBWWBWB",  " BBB BWWBWWBWWBWWB", " BWWBBWWWWWWWWBWWB", " BWWWBWWWWWWWWWWWB",
        "  BWWBWWWWWWWWWWWB", "  BWWWWWWWWWWWWWWB", "   BWWWWWWWWWWWWWB", "   BWWWWWWWWWWWWB",
        "    BWWWWWWWWWWWB",  "    BWWWWWWWWWWB",   "     BWWWWWWWWWB",   "     BWWWWWWWWWB",
        "     BBBBBBBBBBB",
    };
    return EncodeMonochromeCursor(kHand, 7, 0);
}

}  // namespace

std::vector<Artwork> Catalogue() {
    std::vector<Artwork> all = {
        {L"app.ico", EncodeAppIcon},
        {L"hand.cur", EncodeHandCursor},
        Bitmap(L"banner", DrawBanner),
        Bitmap(L"frame_left", DrawFrameLeft),
        Bitmap(L"frame_right", DrawFrameRight),
        Bitmap(L"frame_bottom", DrawFrameBottom),
        Bitmap(L"panel_background", DrawPanelBackground),
        Bitmap(L"panel_separator", DrawPanelSeparator),
        Bitmap(L"about_icon", DrawAboutLinkIcon),
        Bitmap(L"help_icon", DrawHelpLinkIcon),
        Bitmap(L"splash", DrawSplash),
        Bitmap(L"about_background", DrawAboutBackground),
        Bitmap(L"popup_background", DrawPopupBackground),
        Bitmap(L"select_title_icon", DrawSelectTitleIcon),
        Bitmap(L"drive_icon", DrawDriveIcon),
        Bitmap(L"attention_icon", DrawAttentionIcon),
        Bitmap(L"scan_icon", DrawScanIcon),
        Bitmap(L"optimize_icon", DrawOptimizeIcon),
        Bitmap(L"recommend_icon", DrawRecommendIcon),
        Bitmap(L"status_rule", DrawStatusRule),
        Bitmap(L"rule", DrawTitleRule),
        Bitmap(L"footer_strip", DrawFooterStrip),
        Bitmap(L"fragmented_badge", DrawFragmentedBadge),
        Bitmap(L"non_optimized_badge", DrawNonOptimizedBadge),
        Bitmap(L"results_header_good", [] { return DrawResultsHeader(true); }),
        Bitmap(L"results_header_bad", [] { return DrawResultsHeader(false); }),
        Bitmap(L"map_sprites", DrawMapSprites),
    };

    static const wchar_t* const kSteps[] = {L"welcome", L"scan", L"results", L"optimize"};
    for (int step = 1; step <= 4; ++step) {
        const std::wstring name = std::wstring(L"step_") + kSteps[step - 1];
        all.push_back(Bitmap(name, [step] { return DrawWorkflowStep(step, false); }));
        all.push_back(Bitmap(name + L"_current", [step] { return DrawWorkflowStep(step, true); }));
    }

    // Legends in sprite order: free, used, optimized, fragmented, MFT, processing.
    static const wchar_t* const kLegends[] = {L"free",       L"used", L"optimized",
                                              L"fragmented", L"mft",  L"processing"};
    for (int state = 0; state < 6; ++state) {
        all.push_back(Bitmap(std::wstring(L"legend_") + kLegends[state],
                             [state] { return DrawLegend(state); }));
    }

    // Box frames: the drive box, the status box and the results frames.
    auto box = [&all](const wchar_t* name, BoxPiece piece) {
        all.push_back(Bitmap(name, [piece] { return DrawBoxPiece(piece); }));
    };
    box(L"drive_box_left", {150, 38, BoxPiece::Left});
    box(L"drive_box_tile", {150, 38, BoxPiece::Tile});
    box(L"drive_box_right", {150, 38, BoxPiece::Right});
    box(L"status_box_left", {170, 34, BoxPiece::Left});
    box(L"status_box_tile", {170, 34, BoxPiece::Tile});
    box(L"status_box_right", {170, 34, BoxPiece::Tile, 72});
    box(L"status_box_right_end", {170, 34, BoxPiece::Right});
    box(L"box_left", {109, 29, BoxPiece::Left});
    box(L"box_tile", {109, 29, BoxPiece::Tile});
    box(L"box_right", {109, 29, BoxPiece::Right});

    // Buttons, each on the surface the window places it on.
    using enum ButtonStyle;
    const Backdrop white = Backdrop::White;
    all.push_back(Button(L"button_close", {40, 17, 3, Close, L"", Backdrop::Banner, 1}));
    all.push_back(Button(L"button_minimize", {33, 17, 3, Minimize, L"", Backdrop::Banner, 1}));
    all.push_back(
        Button(L"button_update", {150, 20, 3, Tab, L"Check for Updates", Backdrop::Banner, 54}));
    all.push_back(Button(L"button_ok", {103, 26, 3, Primary, L"OK", white, 0}));
    all.push_back(Button(L"button_start_scan", {146, 34, 3, Primary, L"Start scan", white, 0}));
    all.push_back(Button(L"button_optimize_now", {146, 34, 3, Primary, L"Optimize now", white, 0}));
    all.push_back(Button(L"button_popup_scan", {143, 29, 3, Primary, L"Start Scan Now", white, 0}));
    all.push_back(Button(L"button_stop", {62, 22, 3, Secondary, L"Stop", white, 0}));
    all.push_back(
        Button(L"button_cancel", {118, 34, 3, Secondary, L"Cancel", Backdrop::Footer, 16}));
    all.push_back(Button(L"button_back", {156, 35, 3, Secondary, L"Back", Backdrop::Footer, 13}));
    all.push_back(Button(L"button_defrag", {156, 35, 4, Primary, L"Defrag", Backdrop::Footer, 16}));
    all.push_back(
        Button(L"button_see_results", {152, 34, 3, Primary, L"See Results", Backdrop::Footer, 13}));
    all.push_back(
        Button(L"button_view_report", {152, 34, 4, Primary, L"View Report", Backdrop::Footer, 13}));

    // Pictures of the HTML reports.
    all.push_back(Jpeg(L"header_top_middle", DrawReportHeaderTopMiddle));
    all.push_back(Jpeg(L"header_left_image", DrawReportHeaderLeftImage));
    all.push_back(Jpeg(L"header_lefttext", DrawReportHeaderLeftText));
    all.push_back(Jpeg(L"header_top_right", DrawReportHeaderTopRight));
    all.push_back(Jpeg(L"leftmenu_bgsinglepx", DrawReportMenuBackground));
    all.push_back(Jpeg(L"leftmenu_seprationline", DrawReportMenuSeparator));
    all.push_back(Jpeg(L"arrow_leftmenu", DrawReportMenuArrow));
    all.push_back(Jpeg(L"heading_bg", DrawReportHeadingBar));
    all.push_back(Jpeg(L"footer_middle", DrawReportFooterBar));
    all.push_back(Jpeg(L"px_image", DrawReportSpacer));
    return all;
}

}  // namespace artgen
