#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "gui/widget.h"

// Lines of text in a fixed-size character grid, optionally wrapped at a column, with
// a first visible row and column for scrolling, an optional selected row and an
// optional cursor on the first row.
class TextView : public Panel {
public:
    // Adds the text as one or more lines: line feeds split it, tabs become four
    // spaces, other control and non-ASCII bytes become spaces, and with wrapping on
    // long lines break after a space or punctuation.
    void AddText(const std::string& text);
    void Clear();
    // Drops the oldest lines (a long message list sheds them while it scrolls).
    void EraseFirstLines(int count);
    // The empty string for a row that does not exist.
    const std::string& Line(int row) const;
    int LineCount() const { return static_cast<int>(lines_.size()); }
    int LongestLine() const { return longestLine_; }

    // Wrapping applies to text added afterwards. With indent continuation every line
    // after the first of a wrapped text starts with three spaces.
    void SetWrap(bool wrap, int wrapWidth);
    void SetIndentContinuation(bool on) { indentContinuation_ = on; }
    bool Wraps() const { return wrap_; }
    int WrapWidth() const { return wrapWidth_; }

    void SetCellSize(int cellSize);
    int CellSize() const { return cellSize_; }
    float Scale() const { return scale_; }
    int VisibleColumns() const { return cellSize_ > 0 ? Width() / cellSize_ : 0; }
    int VisibleRows() const { return cellSize_ > 0 ? Height() / cellSize_ : 0; }

    void SetFirstVisibleRow(int row) { firstRow_ = std::max(0, row); }
    void SetFirstVisibleColumn(int column) { firstColumn_ = std::max(0, column); }
    int FirstVisibleRow() const { return firstRow_; }
    int FirstVisibleColumn() const { return firstColumn_; }

    void SetCursorColumn(int column) { cursorColumn_ = column; }
    void SetCursorShown(bool shown) { cursorShown_ = shown; }
    int CursorColumn() const { return cursorColumn_; }
    bool CursorShown() const { return cursorShown_; }
    Colour cursorColour{1.0f, 1.0f, 1.0f, 1.0f};

    void SetHighlightSelectedRow(bool on) { highlightSelectedRow_ = on; }
    void SetSelectedRow(int row) { selectedRow_ = row; }
    int SelectedRow() const { return selectedRow_; }
    void SetDrawBackground(bool on) { drawBackground_ = on; }
    // Rows drawn in grey: listed but not to be chosen. Rows beyond the list are plain.
    void SetDimmedRows(std::vector<bool> dimmed) { dimmedRows_ = std::move(dimmed); }
    bool RowDimmed(int row) const {
        return row >= 0 && static_cast<size_t>(row) < dimmedRows_.size() && dimmedRows_[static_cast<size_t>(row)];
    }
    Colour dimmedColour{0.6f, 0.6f, 0.6f, 1.0f};

    void DrawSelf() override;

protected:
    std::vector<std::string>& Lines() { return lines_; }
    void UpdateLongestLine();
    bool HasFocus() const { return Parent() == nullptr || Parent()->FocusedChild() == this; }

private:
    void AddOneLine(const std::string& text);
    void AddWrapped(const std::string& text);
    void AppendLine(std::string line);
    void DrawRows(int x, int y) const;

    std::vector<std::string> lines_;
    std::vector<bool> dimmedRows_;
    int longestLine_ = 0;
    int wrapWidth_ = 0;
    bool wrap_ = false;
    bool indentContinuation_ = false;
    int cellSize_ = 16;
    float scale_ = 1.0f;
    int firstRow_ = 0;
    int firstColumn_ = 0;
    int cursorColumn_ = 0;
    bool cursorShown_ = false;
    bool highlightSelectedRow_ = false;
    int selectedRow_ = 0;
    bool drawBackground_ = false;
};
