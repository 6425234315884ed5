#include "gui/edit_field.h"

#include <gtest/gtest.h>

#include <vector>

#include "gui/key_repeat.h"
#include "widget_driving.h"

namespace {

std::vector<bool> filterSwitches;
void ListenToFilter(bool on) { filterSwitches.push_back(on); }

class EditFieldKeys : public testing::Test {
protected:
    EditFieldKeys() {
        Place(root, 0, 0, 640, 480);
        root.AddChild(&field);
        Place(field, 20, 30, 100, 12);  // ten 10-pixel columns
        previousFilter = SetKeyRepeatFilterSwitch(&ListenToFilter);
        root.SetFocusChild(&field);
        field.SetText("");
        filterSwitches.clear();
    }
    ~EditFieldKeys() override { SetKeyRepeatFilterSwitch(previousFilter); }

    int Key(int code) { return PressOn(field, code); }
    void Type(const std::string& text) {
        for (const char c : text) Key(c);
    }

    int64_t now = 0;
    Widget root;
    EditField field{"Edit1", [this] { return now; }};
    KeyRepeatFilterSwitch previousFilter = nullptr;
};

TEST(EditFieldDefaults, ANewFieldHoldsEdit1InTenPixelCells) {
    EditField field;
    EXPECT_EQ(field.Text(), "Edit1");
    EXPECT_EQ(field.CellSize(), 10);
    EXPECT_EQ(field.Width(), 100);
    EXPECT_EQ(field.Height(), 12);
    EXPECT_TRUE(field.IsFocusable());
}

TEST_F(EditFieldKeys, PrintableCharactersInsertAtTheCursor) {
    EXPECT_EQ(Key('a'), KEY_CONSUMED);
    Type("B1 ~");
    EXPECT_EQ(field.Text(), "aB1 ~");
    EXPECT_EQ(field.CursorColumn(), 5);
    Key(kKeyHome);
    Key('>');
    EXPECT_EQ(field.Text(), ">aB1 ~") << "typing inserts where the cursor is";
    EXPECT_EQ(field.CursorColumn(), 1);
}

TEST_F(EditFieldKeys, OtherKeysInsertNothingAndPassOn) {
    Type("ab");
    EXPECT_EQ(Key(200), 200) << "characters above 126 are ignored";
    EXPECT_EQ(Key(kKeyF1), kKeyF1) << "function keys insert nothing";
    EXPECT_EQ(Key(kKeyUp), kKeyUp) << "cursor up is not the field's";
    EXPECT_EQ(Key(kKeyDown), kKeyDown);
    EXPECT_EQ(Key(kKeyTab), kKeyTab);
    EXPECT_EQ(field.Text(), "ab");
}

TEST_F(EditFieldKeys, CursorKeysMoveWithinTheText) {
    Type("abc");
    Key(kKeyLeft);
    Key(kKeyLeft);
    EXPECT_EQ(field.CursorColumn(), 1);
    Key(kKeyHome);
    EXPECT_EQ(Key(kKeyLeft), KEY_CONSUMED) << "the key is consumed even when the cursor cannot move";
    EXPECT_EQ(field.CursorColumn(), 0);
    Key(kKeyEnd);
    EXPECT_EQ(field.CursorColumn(), 3);
    Key(kKeyRight);
    EXPECT_EQ(field.CursorColumn(), 3) << "the cursor stops at the end";
}

TEST_F(EditFieldKeys, BackspaceAndDeleteEraseBeforeAndAtTheCursor) {
    Type("abcd");
    Key(kKeyLeft);
    EXPECT_EQ(Key(kKeyBackspace), KEY_CONSUMED);
    EXPECT_EQ(field.Text(), "abd");
    EXPECT_EQ(field.CursorColumn(), 2);
    EXPECT_EQ(Key(kKeyDelete), KEY_CONSUMED);
    EXPECT_EQ(field.Text(), "ab");
    Key(kKeyHome);
    Key(127);
    EXPECT_EQ(field.Text(), "b") << "the ASCII delete erases like the Delete key";
    Key(kKeyBackspace);
    EXPECT_EQ(field.Text(), "b") << "Backspace at the start erases nothing";
    Key(kKeyEnd);
    Key(kKeyDelete);
    EXPECT_EQ(field.Text(), "b") << "Delete at the end erases nothing";
}

TEST_F(EditFieldKeys, TheVisibleColumnsFollowTheCursor) {
    Type("abcdefghijkl");  // 12 characters in 10 columns
    EXPECT_EQ(field.FirstVisibleColumn(), 2) << "typing past the right edge scrolls";
    Key(kKeyHome);
    EXPECT_EQ(field.FirstVisibleColumn(), 0);
    for (int step = 0; step < 11; ++step) Key(kKeyRight);
    EXPECT_EQ(field.FirstVisibleColumn(), 1) << "cursor right scrolls by one when it passes the columns";
    Key(kKeyEnd);
    EXPECT_EQ(field.FirstVisibleColumn(), 2) << "End shows the end";
    for (int step = 0; step < 11; ++step) Key(kKeyLeft);
    EXPECT_EQ(field.CursorColumn(), 1);
    EXPECT_EQ(field.FirstVisibleColumn(), 1) << "cursor left pulls the first column along";
}

TEST_F(EditFieldKeys, AClickPutsTheCursorOnTheNearestBoundary) {
    Type("abcdef");
    MoveMouseOnto(field, 20 + 24, 35);
    EXPECT_EQ(Key(kMouseLeft), kMouseLeft) << "the click itself is not consumed by the field";
    EXPECT_EQ(field.CursorColumn(), 2);
    MoveMouseOnto(field, 20 + 25, 35);
    Key(kMouseLeft);
    EXPECT_EQ(field.CursorColumn(), 2) << "a click halfway goes to the left boundary";
    MoveMouseOnto(field, 20 + 26, 35);
    Key(kMouseLeft);
    EXPECT_EQ(field.CursorColumn(), 3);
    MoveMouseOnto(field, 20 + 95, 35);
    Key(kMouseLeft);
    EXPECT_EQ(field.CursorColumn(), 6) << "clicks past the text clamp to its end";
}

TEST_F(EditFieldKeys, TheCursorBlinksEvery750MsWhileFocused) {
    now = 1000;
    root.Tick();
    EXPECT_TRUE(field.CursorShown());
    now = 1750;
    root.Tick();
    EXPECT_TRUE(field.CursorShown()) << "not before 750 ms have passed";
    now = 1751;
    root.Tick();
    EXPECT_FALSE(field.CursorShown());
    root.SetFocusChild(nullptr);
    now = 5000;
    root.Tick();
    EXPECT_FALSE(field.CursorShown()) << "an unfocused field does not blink";
}

TEST_F(EditFieldKeys, FocusSwitchesTheRepeatFilterOffAndLosingItBackOn) {
    EXPECT_EQ(filterSwitches, std::vector<bool>{}) << "the field had focus before the test listened";
    root.SetFocusChild(nullptr);
    root.SetFocusChild(&field);
    now = 10;
    root.Tick();
    ASSERT_TRUE(field.CursorShown());
    root.SetFocusChild(nullptr);
    EXPECT_EQ(filterSwitches, (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(field.CursorShown()) << "losing focus hides the cursor";
}

TEST_F(EditFieldKeys, ACursorSetPastTheEndEditsAtTheEnd) {
    Type("ab");
    field.SetCursorColumn(40);
    Key('c');
    EXPECT_EQ(field.Text(), "abc");
    field.SetCursorColumn(40);
    Key(kKeyBackspace);
    EXPECT_EQ(field.Text(), "ab");
}

TEST_F(EditFieldKeys, SetTextKeepsOneLine) {
    field.SetText("first\nsecond");
    EXPECT_EQ(field.Text(), "first");
    EXPECT_EQ(field.LineCount(), 1);
}

}  // namespace
