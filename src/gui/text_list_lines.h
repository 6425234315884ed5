#pragma once

#include <string>

#include "gui/text_list.h"
#include "net/network_game.h"

// A screen's text list as the game-server client fills it. The lobby's games are
// listed afresh every few seconds: the row the player chose stays chosen when the
// new list reaches it again.
class TextListLines : public LineList {
public:
    explicit TextListLines(TextList& list) : list_(list) {}

    void AddLine(const std::string& line) override {
        list_.AddText(line);
        if (list_.LineCount() - 1 == keptRow_) {
            list_.SetSelectedRow(keptRow_);
            keptRow_ = -1;
        }
        list_.Resize();
    }
    void ClearLines() override {
        if (list_.SelectedRow() >= 0) keptRow_ = list_.SelectedRow();
        list_.Clear();
        list_.Resize();
    }

private:
    TextList& list_;
    int keptRow_ = -1;
};
