// Artwork of the pages: box frames in pieces, rules, icons, badges, the
// results headers, the footer strip, the map sprites and the legend swatches.
#pragma once

#include "tools/artgen/Canvas.h"

namespace artgen {

// A box is drawn whole and cut into pieces that the pages put together: a
// 6-pixel left end, 1-pixel tiles, optional wider middle pieces, a 6-pixel
// right end. `band` is the height of the header band under the top edge.
struct BoxPiece {
    int height;
    int band;
    enum Part { Left, Tile, Right } part;
    int width = 1;  // of a tile piece
};
Canvas DrawBoxPiece(const BoxPiece& piece);

Canvas DrawStatusRule();
Canvas DrawTitleRule();
Canvas DrawFooterStrip();

Canvas DrawSelectTitleIcon();
Canvas DrawDriveIcon();
Canvas DrawAttentionIcon();
Canvas DrawScanIcon();
Canvas DrawOptimizeIcon();
Canvas DrawRecommendIcon();

Canvas DrawFragmentedBadge();
Canvas DrawNonOptimizedBadge();
Canvas DrawResultsHeader(bool good);

Canvas DrawMapSprites();
// The legend swatch of a cell state (sprite order).
Canvas DrawLegend(int state);

}  // namespace artgen
