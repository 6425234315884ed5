#include "platform/glyph_image.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCell = 16;

// Coverage of cell n, counted on the picture as it is seen (rows are stored bottom-up).
int CellInk(int cell) {
    const std::vector<uint8_t>& image = BuiltInGlyphImage();
    int ink = 0;
    const int left = (cell % 16) * kCell;
    const int top = (cell / 16) * kCell;
    for (int y = top; y < top + kCell; ++y)
        for (int x = left; x < left + kCell; ++x) ink += image[(kGlyphImageSize - 1 - y) * kGlyphImageSize + x];
    return ink;
}

int CellOf(int set, char character) { return set * 128 + character - 32; }

TEST(GlyphImage, PrintablesHaveInkInBothSetsTheSpaceNoneAndBoldMore) {
    ASSERT_EQ(BuiltInGlyphImage().size(), 256u * 256u) << "a 256 x 256 coverage image";
    for (int set = 0; set < 2; ++set) {
        for (char c = 33; c < 127; ++c) EXPECT_GT(CellInk(CellOf(set, c)), 0) << "set " << set << " character " << c;
        EXPECT_EQ(CellInk(CellOf(set, ' ')), 0) << "the space is blank in set " << set;
    }
    EXPECT_GT(CellInk(CellOf(1, 'H')), CellInk(CellOf(0, 'H'))) << "the bold set carries more ink";
}

// Glyphs advance by 15 pixels, so the last column of a cell lies under the next glyph.
TEST(GlyphImage, TheLastColumnOfEveryCellIsEmpty) {
    const std::vector<uint8_t>& image = BuiltInGlyphImage();
    for (int y = 0; y < kGlyphImageSize; ++y)
        for (int x = kCell - 1; x < kGlyphImageSize; x += kCell)
            ASSERT_EQ(image[y * kGlyphImageSize + x], 0) << "column " << x << " stored row " << y;
}

// The picture is stored bottom-up: the top of a capital letter sits in the cell's
// upper rows on screen, its descender-free foot above the cell's last rows.
TEST(GlyphImage, RowsAreStoredBottomUp) {
    const std::vector<uint8_t>& image = BuiltInGlyphImage();
    const int cell = CellOf(0, 'T');
    const int left = (cell % 16) * kCell;
    const int top = (cell / 16) * kCell;
    auto rowInk = [&](int pictureRow) {
        int ink = 0;
        for (int x = left; x < left + kCell; ++x) ink += image[(kGlyphImageSize - 1 - pictureRow) * kGlyphImageSize + x];
        return ink;
    };
    int widestRow = top;
    for (int y = top; y < top + kCell; ++y)
        if (rowInk(y) > rowInk(widestRow)) widestRow = y;
    EXPECT_LT(widestRow - top, 6) << "the bar of the T must be near the top of its cell";
    EXPECT_EQ(rowInk(top + kCell - 1), 0) << "nothing below the baseline of a T";
}

}  // namespace
