#include "gui/edit_field.h"

#include <gtest/gtest.h>

#include <vector>

#include "widget_driving.h"

namespace {

TEST(EditFieldKeys, EditingKeysChangeTheTextAtTheCursor) {
    Widget root;
    EditField field{"Edit1", [] { return int64_t{0}; }};
    Mount(root, field, 20, 30, 100, 12);
    root.SetFocusChild(&field);
    auto keys = [&field](const std::vector<int>& codes) {
        int last = 0;
        for (const int code : codes) last = PressOn(field, code);
        return last;
    };
    struct Case {
        const char* rule;
        std::vector<int> keys;
        const char* text;
        int cursor;
    };
    const Case cases[] = {
        {"printable characters insert at the cursor", {'a', 'B', kKeyHome, '>'}, ">aB", 1},
        {"Backspace erases before the cursor", {'a', 'b', 'c', kKeyLeft, kKeyBackspace}, "ac", 1},
        {"Delete erases at the cursor", {'a', 'b', 'c', kKeyHome, kKeyDelete}, "bc", 0},
        {"the cursor stops at both ends",
         {'a', 'b', kKeyLeft, kKeyLeft, kKeyLeft, 'x', kKeyEnd, kKeyRight, 'y'},
         "xaby",
         4},
        {"other keys insert nothing", {'a', 200, kKeyF1, kKeyUp}, "a", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        field.SetText("");
        keys(c.keys);
        EXPECT_EQ(field.Text(), c.text);
        EXPECT_EQ(field.CursorColumn(), c.cursor);
    }
    EXPECT_EQ(keys({kKeyTab}), kKeyTab) << "keys the field does not use pass on";
}

}  // namespace
