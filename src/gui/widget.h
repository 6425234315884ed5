#pragma once

#include <vector>

#include "base/vec3.h"
#include "platform/window_root.h"

// The base of the widget tree: the application is the root, screens are its
// children, buttons and fields theirs. Each widget routes input down the tree by
// itself, deciding focus, hover and pressed state. Parents hold non-owning pointers
// to their children, which are by-value members of the screen that builds them.
class Widget : public WindowRoot {
public:
    Widget();
    ~Widget() override = default;
    Widget(const Widget&) = delete;
    Widget& operator=(const Widget&) = delete;

    virtual void OnVisibilityChanged(bool shown);
    virtual void AddChild(Widget* child);
    virtual void RemoveChild(Widget* child);
    virtual Widget* FirstChild();
    virtual Widget* NextChild(Widget* child);
    virtual Widget* LastChild();
    virtual Widget* PrevChild(Widget* child);
    void Draw() override;
    virtual void Reposition();
    void Resize() override;
    void KeyUp(KeyEvent* event) override;
    void KeyDown(KeyEvent* event) override;
    void MouseMove(int x, int y) override;
    virtual void Tick();
    virtual void ResetClicks();
    virtual void DrawSelf() {}
    // Draws, with RectangleStrip, where this widget and its shown children will cover
    // whatever lies under them with an opaque fill; what is only partly covered is left
    // out. Drawing code only.
    virtual void MarkOpaqueAreas();
    virtual void UpdateGeometry();
    virtual void OnResized() {}
    virtual void OnKeyUp(KeyEvent*) {}
    virtual void OnKeyDown(KeyEvent*) {}
    virtual void OnMouseMove(int, int) {}
    virtual void OnTick() {}
    virtual void OnResetClicks() {}
    virtual void OnFocusGained() {}
    virtual void OnFocusLost() {}
    virtual void OnMouseEnter() {}
    virtual void OnMouseLeave() {}
    virtual void OnShown() {}
    virtual void OnHidden() {}
    // A place the focus walk of a player without a mouse stops at: a button, a list
    // whose rows can be chosen, a slider that takes the arrows.
    virtual bool IsFocusStop() const { return false; }
    // A focus stop's own use of an arrow from a player without a mouse: a list steps
    // its chosen row, a slider its value. False leaves the arrow to the focus walk.
    virtual bool TakeArrow(int) { return false; }
    void SetPosition(int x, int y) override;

    void SetVisible(bool visible);
    void SetFocusable(bool focusable);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    void SetModal(bool modal) { modal_ = modal; }
    void SetPressed(bool pressed) { pressed_ = pressed; }
    void SetDrawFocusFrame(bool on) { drawFocusFrame_ = on; }
    void SetBorderWidth(int width) { borderWidth_ = width; }
    void SetFocusChild(Widget* child);
    void SetHoverChild(Widget* child);
    void SetCaptureChild(Widget* child) { captureChild_ = child; }
    void SetWidth(int width);
    void SetHeight(int height);
    void SetSize(int width, int height) override;
    void SetMinSize(int width, int height);
    void BringToFront(Widget* child);
    bool Contains(int x, int y) const;

    // The minimum size every new widget starts with.
    static void SetDefaultMinSize(int width, int height);

    Widget* Parent() const { return parent_; }
    Widget* FocusedChild() const { return focusedChild_; }
    Widget* HoveredChild() const { return hoveredChild_; }
    Widget* CaptureChild() const { return captureChild_; }
    const std::vector<Widget*>& Children() const { return children_; }
    const std::vector<Widget*>& DrawOrder() const { return drawOrder_; }
    int Id() const { return id_; }
    bool IsVisible() const { return visible_; }
    bool IsEnabled() const { return enabled_; }
    bool IsFocusable() const { return focusable_; }
    bool IsModal() const { return modal_; }
    bool IsPressed() const { return pressed_; }
    // Focusable, enabled and visible: may take focus, hover and events.
    bool IsAvailable() const { return focusable_ && enabled_ && visible_; }

    int X() const override { return x_; }
    int Y() const override { return y_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int MinWidth() const override { return minWidth_; }
    int MinHeight() const override { return minHeight_; }
    int BorderWidth() const { return borderWidth_; }
    bool DrawsFocusFrameFlag() const { return drawFocusFrame_; }

    struct Rect {
        int x = 0, y = 0, right = 0, bottom = 0, width = 0, height = 0;
    };
    struct AbsoluteRect {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0, width = 0, height = 0;
    };
    const Rect& Client() const { return client_; }
    const AbsoluteRect& Absolute() const { return absolute_; }

    Colour shadeColour{0.3f, 0.3f, 0.3f, 0.5f};
    Colour normalColour{0.3f, 0.5f, 0.7f, 1.0f};
    Colour highlightColour{0.6f, 0.5f, 0.7f, 1.0f};
    Colour foregroundColour{1.0f, 1.0f, 1.0f, 1.0f};
    Colour backgroundColour{0.3f, 0.3f, 0.3f, 0.3f};

protected:
    // Draws the children in draw order, then applies the pending queues.
    void DrawChildren();
    // Geometry with the client area inset by `inset` on every side.
    void ComputeGeometry(int inset);
    bool FocusMayMove() const;
    bool KeepsFocus(const Widget* child) const;
    // Takes focus and hover away from the chain below this widget, deepest first.
    void ClearFocusChain();
    void ClearHoverChain();
    Widget* ChildAt(int x, int y) const;

private:
    int minWidth_;
    int minHeight_;
    Widget* parent_ = nullptr;
    Widget* focusedChild_ = nullptr;
    Widget* hoveredChild_ = nullptr;
    Widget* captureChild_ = nullptr;
    bool pressed_ = false;
    int id_;
    bool enabled_ = true;
    std::vector<Widget*> drawOrder_;
    std::vector<Widget*> pendingRemove_;
    std::vector<Widget*> pendingRaise_;
    std::vector<Widget*> pendingAdd_;
    int x_ = 0, y_ = 0, right_ = 0, bottom_ = 0;
    int width_ = 0, height_ = 0;
    Rect client_;
    AbsoluteRect absolute_;
    bool visible_ = true;
    bool modal_ = false;
    bool focusable_ = true;
    std::vector<Widget*> children_;
    bool drawFocusFrame_ = false;
    int borderWidth_ = 0;
};

// A plain container whose client area is inset by its border.
class InsetWidget : public Widget {
public:
    void UpdateGeometry() override { ComputeGeometry(BorderWidth()); }
};

// The base of every concrete widget and screen: adds the focus frame and the grey
// overlay of a disabled widget to the drawing.
class Panel : public InsetWidget {
public:
    void Draw() override;

protected:
    bool DrawsFocusFrame() const;
};

// A box filled with its normal colour and outlined in its foreground colour, with its
// children on it: the frame of dialogs and of the in-race menu.
class FramedPanel : public Panel {
public:
    void MarkOpaqueAreas() override;
    void DrawSelf() override;
};
