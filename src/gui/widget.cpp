#include "gui/widget.h"

#include <algorithm>

#include "gui/mouse.h"

namespace {

int defaultMinWidth = 0;
int defaultMinHeight = 0;
int widgetCounter = 0;

bool IsMouseButton(int code) { return code == kMouseLeft || code == kMouseRight || code == kMouseMiddle; }

void EraseFirst(std::vector<Widget*>& list, Widget* widget) {
    auto found = std::find(list.begin(), list.end(), widget);
    if (found != list.end()) list.erase(found);
}

}  // namespace

Widget::Widget() : minWidth_(defaultMinWidth), minHeight_(defaultMinHeight), id_(widgetCounter++) {}

void Widget::SetDefaultMinSize(int width, int height) {
    defaultMinWidth = width;
    defaultMinHeight = height;
}

void Widget::OnVisibilityChanged(bool shown) {
    if (shown)
        OnShown();
    else
        OnHidden();
    if (shown || parent_ == nullptr) return;
    if (parent_->focusedChild_ == this) {
        ClearFocusChain();
        OnFocusLost();
        parent_->focusedChild_ = nullptr;
    }
    if (parent_->hoveredChild_ == this) {
        ClearHoverChain();
        OnMouseLeave();
        parent_->hoveredChild_ = nullptr;
    }
}

void Widget::AddChild(Widget* child) {
    if (child == nullptr) return;
    child->parent_ = this;
    children_.push_back(child);
    pendingAdd_.push_back(child);
}

void Widget::RemoveChild(Widget* child) {
    auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end()) return;
    if (focusedChild_ == child) {
        child->ClearFocusChain();
        child->OnFocusLost();
        focusedChild_ = nullptr;
    }
    if (hoveredChild_ == child) {
        child->ClearHoverChain();
        child->OnMouseLeave();
        hoveredChild_ = nullptr;
    }
    if (captureChild_ == child) captureChild_ = nullptr;
    children_.erase(found);
    pendingRemove_.push_back(child);
}

Widget* Widget::FirstChild() { return children_.empty() ? nullptr : children_.front(); }

Widget* Widget::NextChild(Widget* child) {
    if (child == nullptr) return nullptr;
    auto found = std::find(children_.begin(), children_.end(), child);
    if (found == children_.end() || found + 1 == children_.end()) return nullptr;
    return *(found + 1);
}

Widget* Widget::LastChild() { return children_.empty() ? nullptr : children_.back(); }

Widget* Widget::PrevChild(Widget* child) {
    if (child == nullptr) return nullptr;
    auto found = std::find(children_.rbegin(), children_.rend(), child);
    if (found == children_.rend() || found + 1 == children_.rend()) return nullptr;
    return *(found + 1);
}

void Widget::Draw() {
    DrawSelf();
    DrawChildren();
}

void Widget::MarkOpaqueAreas() {
    for (Widget* child : drawOrder_)
        if (child->visible_) child->MarkOpaqueAreas();
}

void Widget::DrawChildren() {
    for (Widget* child : drawOrder_)
        if (child->visible_) child->Draw();
    // Applied after drawing, so handlers and draws may change the tree mid-frame.
    for (Widget* child : pendingAdd_) drawOrder_.push_back(child);
    for (Widget* child : pendingRaise_) {
        auto found = std::find(drawOrder_.begin(), drawOrder_.end(), child);
        if (found == drawOrder_.end()) continue;
        drawOrder_.erase(found);
        drawOrder_.push_back(child);
    }
    for (Widget* child : pendingRemove_) EraseFirst(drawOrder_, child);
    pendingAdd_.clear();
    pendingRaise_.clear();
    pendingRemove_.clear();
}

void Widget::Reposition() {
    UpdateGeometry();
    for (Widget* child : std::vector<Widget*>(children_)) child->Reposition();
}

void Widget::Resize() {
    UpdateGeometry();
    OnResized();
    for (Widget* child : std::vector<Widget*>(children_)) child->Resize();
}

bool Widget::KeepsFocus(const Widget* child) const { return child->modal_ || child->pressed_; }

bool Widget::FocusMayMove() const {
    return focusedChild_ == nullptr || !KeepsFocus(focusedChild_) || !focusedChild_->IsAvailable();
}

Widget* Widget::ChildAt(int x, int y) const {
    for (auto it = drawOrder_.rbegin(); it != drawOrder_.rend(); ++it) {
        Widget* child = *it;
        if (child->visible_ && child->focusable_ && child->Contains(x, y)) return child;
    }
    return nullptr;
}

void Widget::KeyDown(KeyEvent* event) {
    if (!IsAvailable() || event->code == KEY_CONSUMED) return;
    if (IsMouseButton(event->code) && FocusMayMove()) {
        const MousePoint mouse = CurrentMousePosition();
        Widget* target = ChildAt(mouse.x, mouse.y);
        if (target != nullptr && !target->enabled_) return;  // a click on a disabled widget is swallowed
        if (target != nullptr && target != hoveredChild_) SetHoverChild(target);
        if (hoveredChild_ == nullptr && !children_.empty()) MouseMove(mouse.x, mouse.y);
        if (hoveredChild_ != nullptr && hoveredChild_->IsAvailable()) {
            if (hoveredChild_ == focusedChild_) {
                focusedChild_->KeyDown(event);
            } else if (focusedChild_ == nullptr || !KeepsFocus(focusedChild_)) {
                SetFocusChild(hoveredChild_);
                if (focusedChild_ != nullptr) focusedChild_->KeyDown(event);
            }
        }
    } else if (focusedChild_ != nullptr) {
        focusedChild_->KeyDown(event);
    }
    OnKeyDown(event);
}

void Widget::KeyUp(KeyEvent* event) {
    if (event->code == KEY_CONSUMED) return;
    if (focusedChild_ != nullptr && focusedChild_->visible_ && focusedChild_->enabled_) focusedChild_->KeyUp(event);
    OnKeyUp(event);
}

void Widget::MouseMove(int x, int y) {
    if (!IsAvailable()) return;
    OnMouseMove(x, y);
    if (parent_ != nullptr) {
        Widget* parentFocus = parent_->focusedChild_;
        if (parentFocus != nullptr && parentFocus != this && KeepsFocus(parentFocus)) return;
        if (!Contains(x, y)) {
            if (parent_->hoveredChild_ == this && !modal_ && !pressed_) {
                ClearHoverChain();
                OnMouseLeave();
                parent_->hoveredChild_ = nullptr;
            }
            return;
        }
        if (parent_->hoveredChild_ != this) {
            OnMouseEnter();
            Widget* previous = parent_->hoveredChild_;
            if (previous != nullptr) {
                previous->ClearHoverChain();
                previous->OnMouseLeave();
            }
            parent_->hoveredChild_ = this;
        }
    }
    if (children_.empty()) return;
    if (captureChild_ != nullptr) {
        captureChild_->MouseMove(x, y);
    } else if (hoveredChild_ != nullptr) {
        hoveredChild_->MouseMove(x, y);
    } else {
        for (auto it = drawOrder_.rbegin(); it != drawOrder_.rend(); ++it) {
            if ((*it)->IsAvailable() && (*it)->Contains(x, y)) {
                (*it)->MouseMove(x, y);
                break;
            }
        }
    }
}

void Widget::Tick() {
    OnTick();
    for (Widget* child : std::vector<Widget*>(children_)) child->Tick();
}

void Widget::ResetClicks() {
    OnResetClicks();
    for (Widget* child : std::vector<Widget*>(children_)) child->ResetClicks();
}

void Widget::UpdateGeometry() { ComputeGeometry(0); }

void Widget::ComputeGeometry(int inset) {
    absolute_.x1 = parent_ != nullptr ? parent_->absolute_.x1 + x_ : x_;
    absolute_.y1 = parent_ != nullptr ? parent_->absolute_.y1 + y_ : y_;
    absolute_.width = width_;
    absolute_.height = height_;
    absolute_.x2 = absolute_.x1 + width_;
    absolute_.y2 = absolute_.y1 + height_;
    client_.x = inset;
    client_.y = inset;
    client_.width = std::max(0, width_ - 2 * inset);
    client_.height = std::max(0, height_ - 2 * inset);
    client_.right = client_.x + client_.width;
    client_.bottom = client_.y + client_.height;
}

void Widget::SetPosition(int x, int y) {
    x_ = x;
    y_ = y;
    right_ = x_ + width_;
    bottom_ = y_ + height_;
    Reposition();
}

void Widget::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    OnVisibilityChanged(visible);
}

void Widget::SetFocusable(bool focusable) {
    focusable_ = focusable;
    if (focusable || parent_ == nullptr || parent_->focusedChild_ != this) return;
    ClearFocusChain();
    OnFocusLost();
    parent_->focusedChild_ = nullptr;
}

void Widget::SetFocusChild(Widget* child) {
    if (child == focusedChild_) return;
    if (child != nullptr && !child->IsAvailable()) return;
    if (focusedChild_ != nullptr) {
        focusedChild_->SetFocusChild(nullptr);
        focusedChild_->OnFocusLost();
    }
    if (child != nullptr) child->OnFocusGained();
    focusedChild_ = child;
}

void Widget::SetHoverChild(Widget* child) {
    if (child == hoveredChild_) return;
    if (child != nullptr && !child->IsAvailable()) return;
    // Enter comes before leave here, while for focus lost comes before gained.
    if (child != nullptr) child->OnMouseEnter();
    if (hoveredChild_ != nullptr) {
        hoveredChild_->SetHoverChild(nullptr);
        hoveredChild_->OnMouseLeave();
    }
    hoveredChild_ = child;
}

void Widget::ClearFocusChain() { SetFocusChild(nullptr); }

void Widget::ClearHoverChain() { SetHoverChild(nullptr); }

void Widget::SetWidth(int width) {
    width_ = std::max(width, minWidth_);
    right_ = x_ + width_;
}

void Widget::SetHeight(int height) {
    height_ = std::max(height, minHeight_);
    bottom_ = y_ + height_;
}

void Widget::SetSize(int width, int height) {
    SetWidth(width);
    SetHeight(height);
}

void Widget::SetMinSize(int width, int height) {
    minWidth_ = width;
    minHeight_ = height;
}

void Widget::BringToFront(Widget* child) { pendingRaise_.push_back(child); }

bool Widget::Contains(int x, int y) const {
    return absolute_.x1 <= x && x <= absolute_.x2 && absolute_.y1 <= y && y <= absolute_.y2;
}
