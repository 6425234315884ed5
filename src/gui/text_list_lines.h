#pragma once

#include <string>

#include "gui/text_list.h"
#include "net/network_game.h"

// A screen's text list as the game-server client fills it.
class TextListLines : public LineList {
public:
    explicit TextListLines(TextList& list) : list_(list) {}

    void AddLine(const std::string& line) override {
        list_.AddText(line);
        list_.Resize();
    }
    void ClearLines() override {
        list_.Clear();
        list_.Resize();
    }

private:
    TextList& list_;
};
