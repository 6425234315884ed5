#include "gui/text_view.h"

#include <algorithm>
#include <utility>

#include <GL/gl.h>

#include "gui/draw_2d.h"
#include "gui/text_print.h"

namespace {

constexpr int kTabWidth = 4;
constexpr char kIndent[] = "   ";
constexpr int kIndentWidth = 3;
constexpr int kCursorWidth = 2;
// A wrapped line ends just after the last of these within its limit.
constexpr char kBreakCharacters[] = " ,/.|?-#^*)$;%]\\!:";

const std::string kNoLine;

std::string Printable(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (const char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\t')
            result.append(kTabWidth, ' ');
        else if (byte < 32 || byte > 127)
            result.push_back(' ');
        else
            result.push_back(c);
    }
    return result;
}

size_t WrapCut(const std::string& text, size_t start, size_t limit) {
    const size_t found = text.substr(start, limit).find_last_of(kBreakCharacters);
    return found == std::string::npos ? limit : found + 1;
}

}  // namespace

void TextView::AddText(const std::string& text) {
    std::string rest = text;
    if (!rest.empty() && rest.back() == '\n') rest.pop_back();
    if (!rest.empty() && rest.back() == '\r') rest.pop_back();
    if (rest.find('\n') == std::string::npos) {
        AddOneLine(rest);
        return;
    }
    // Each piece between line feeds is added by the same rules.
    size_t start = 0;
    for (size_t feed = rest.find('\n'); feed != std::string::npos; feed = rest.find('\n', start)) {
        AddText(rest.substr(start, feed - start));
        start = feed + 1;
    }
    AddText(rest.substr(start));
}

void TextView::AddOneLine(const std::string& text) {
    const std::string printable = Printable(text);
    if (!wrap_ || wrapWidth_ <= 0)
        AppendLine(printable);
    else
        AddWrapped(printable);
}

void TextView::AddWrapped(const std::string& text) {
    size_t start = 0;
    size_t limit = static_cast<size_t>(wrapWidth_);
    bool first = true;
    do {
        const std::string prefix = !first && indentContinuation_ ? kIndent : "";
        const size_t rest = text.size() - start;
        const size_t length = rest < limit ? rest : WrapCut(text, start, limit);
        AppendLine(prefix + text.substr(start, length));
        start += length;
        if (first && indentContinuation_) limit = static_cast<size_t>(std::max(1, wrapWidth_ - kIndentWidth));
        first = false;
    } while (start < text.size());
}

void TextView::AppendLine(std::string line) {
    longestLine_ = std::max(longestLine_, static_cast<int>(line.size()));
    lines_.push_back(std::move(line));
}

void TextView::EraseFirstLines(int count) {
    const int erased = std::clamp(count, 0, LineCount());
    lines_.erase(lines_.begin(), lines_.begin() + erased);
    UpdateLongestLine();
}

void TextView::Clear() {
    lines_.clear();
    dimmedRows_.clear();
    longestLine_ = 0;
    firstRow_ = 0;
    firstColumn_ = 0;
    cursorColumn_ = 0;
}

const std::string& TextView::Line(int row) const {
    if (row < 0 || row >= LineCount()) return kNoLine;
    return lines_[static_cast<size_t>(row)];
}

void TextView::SetWrap(bool wrap, int wrapWidth) {
    wrap_ = wrap;
    wrapWidth_ = std::max(0, wrapWidth);
}

void TextView::SetCellSize(int cellSize) {
    cellSize_ = std::max(1, cellSize);
    scale_ = static_cast<float>(cellSize_) / kFontCellSize;
}

void TextView::UpdateLongestLine() {
    longestLine_ = 0;
    for (const std::string& line : lines_) longestLine_ = std::max(longestLine_, static_cast<int>(line.size()));
}

void TextView::DrawSelf() {
    const AbsoluteRect& box = Absolute();
    if (drawBackground_) {
        const GLboolean blending = glIsEnabled(GL_BLEND);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        FillRect(box.x1, box.y1, box.x2, box.y2, normalColour);
        if (!blending) glDisable(GL_BLEND);
        DrawOutline(box.x1, box.y1, box.x2, box.y2, Colour{1.0f, 1.0f, 1.0f, 1.0f});
    }
    PlainTextScope plainText;
    DrawRows(box.x1, box.y1);
    const int visibleColumns = VisibleColumns();
    if (cursorShown_ && cursorColumn_ >= firstColumn_ && cursorColumn_ <= firstColumn_ + visibleColumns) {
        const int x = box.x1 + static_cast<int>((cursorColumn_ - firstColumn_) * (cellSize_ - scale_));
        FillRect(x, box.y1, x + kCursorWidth, box.y1 + cellSize_, cursorColour);
    }
}

void TextView::DrawRows(int x, int y) const {
    const int lastRow = std::min(LineCount(), firstRow_ + VisibleRows());
    for (int row = std::max(0, firstRow_); row < lastRow; ++row, y += cellSize_) {
        if (highlightSelectedRow_ && row == selectedRow_ && HasFocus())
            FillRect(x, y, x + Width(), y + cellSize_, highlightColour);
        const std::string& line = lines_[static_cast<size_t>(row)];
        const int length = static_cast<int>(line.size());
        if (length < firstColumn_) continue;
        // The font draws whatever is printed; the view shows no more than its columns.
        const int count = std::min(length - firstColumn_, VisibleColumns() + 1);
        if (count > 0)
            PrintText(x, y, line.data() + firstColumn_, count, scale_,
                      RowDimmed(row) ? dimmedColour : foregroundColour);
        // The font leaves blending and texturing on; the next row's bar is plain.
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
    }
}
