#include "platform/glyph_image.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCell = 16;

// Ink of picture row `row` (as seen; rows are stored bottom-up) over columns [left, left + width).
int RowInk(int row, int left, int width) {
    const std::vector<uint8_t>& image = BuiltInGlyphImage();
    int ink = 0;
    for (int x = left; x < left + width; ++x) ink += image[(kGlyphImageSize - 1 - row) * kGlyphImageSize + x];
    return ink;
}

int CellInk(int set, char character, int firstRow = 0, int rows = kCell) {
    const int cell = set * 128 + character - 32;
    int ink = 0;
    for (int y = firstRow; y < firstRow + rows; ++y) ink += RowInk((cell / 16) * kCell + y, (cell % 16) * kCell, kCell);
    return ink;
}

TEST(GlyphImage, PrintablesHaveInkInBothSetsTheSpaceNoneAndBoldMore) {
    ASSERT_EQ(BuiltInGlyphImage().size(), 256u * 256u) << "a 256 x 256 coverage image";
    for (int set = 0; set < 2; ++set) {
        for (char c = 33; c < 127; ++c) EXPECT_GT(CellInk(set, c), 0) << "set " << set << " character " << c;
        EXPECT_EQ(CellInk(set, ' '), 0) << "the space is blank in set " << set;
    }
    EXPECT_GT(CellInk(1, 'H'), CellInk(0, 'H')) << "the bold set carries more ink";
    EXPECT_GT(CellInk(0, 'T', 0, 6), CellInk(0, 'T', 6, 10)) << "rows are stored bottom-up: the T's bar is on top";
}

// Glyphs advance by 15 pixels, so the last column of a cell lies under the next glyph.
TEST(GlyphImage, TheLastColumnOfEveryCellIsEmpty) {
    for (int y = 0; y < kGlyphImageSize; ++y)
        for (int x = kCell - 1; x < kGlyphImageSize; x += kCell)
            ASSERT_EQ(RowInk(y, x, 1), 0) << "column " << x << " row " << y;
}

}  // namespace
