#pragma once

#include <string>
#include <vector>

#include "platform/window_root.h"

// A root that writes down every call the window layer makes on it.
class FakeRoot : public WindowRoot {
public:
    void KeyDown(KeyEvent* event) override { calls.push_back("down " + std::to_string(event->code)); }
    void KeyUp(KeyEvent* event) override { calls.push_back("up " + std::to_string(event->code)); }
    void MouseMove(int x, int y) override { calls.push_back("move " + std::to_string(x) + "," + std::to_string(y)); }
    void SetPosition(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void Resize() override { calls.push_back("resize " + std::to_string(width_) + "x" + std::to_string(height_)); }
    void Draw() override {
        ++draws;
        if (onDraw) onDraw();
    }

    int X() const override { return x_; }
    int Y() const override { return y_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int MinWidth() const override { return 320; }
    int MinHeight() const override { return 240; }
    void SetSize(int width, int height) override {
        width_ = width;
        height_ = height;
    }

    std::vector<std::string> calls;
    int draws = 0;
    void (*onDraw)() = nullptr;

private:
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
};
