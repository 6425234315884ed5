#pragma once

#include <cstdint>
#include <string>

#include "gui/widget.h"

// Counts the frames it is drawn in and shows the rate once a second as "FPS:%d".
// The text only changes when the whole number changes; until the first nonzero
// measurement it reads "0".
class FpsLabel : public Panel {
public:
    explicit FpsLabel(int64_t nowMs);

    // One frame drawn at `nowMs`: counts it and measures when a second has passed.
    void CountFrame(int64_t nowMs);
    const std::string& Text() const { return text_; }

    void Draw() override;

private:
    int frames_ = 0;
    int64_t lastMs_;
    int64_t nextMs_;
    int lastShown_ = 0;
    std::string text_ = "0";
};
