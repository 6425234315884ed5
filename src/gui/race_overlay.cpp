#include "gui/race_overlay.h"

#include <algorithm>

#include "base/clock.h"
#include "game/player_manager.h"

namespace {
constexpr int kStartButtonWidth = 200;
constexpr int kStartButtonHeight = 30;
constexpr int kChatWidthPercent = 95;
constexpr int kMessageListHeightPercent = 40;
}  // namespace

RaceOverlay::RaceOverlay(Widget& root, GameManager& game, Clock clock)
    : root_(root),
      game_(game),
      clock_(clock ? std::move(clock) : Clock(NowMs)),
      chatInput_("", clock_),
      startButton_("Waiting") {
    root_.AddChild(&messageList_);
    root_.AddChild(&chatInput_);
    root_.AddChild(&startButton_);
    root_.AddChild(&scorePanel_);
    messageList_.SetFocusable(false);
    scorePanel_.SetFocusable(false);
    scorePanel_.SetDrawBackground(true);
    startButton_.SetVisible(false);
    scorePanel_.SetVisible(false);
    chatInput_.SetVisible(false);
    chatShown_ = false;
    scrollClockStart_ = clock_();
}

void RaceOverlay::AddLine(const std::string& line) { messageList_.AddText(line); }

void RaceOverlay::ClearLines() { messageList_.Clear(); }

void RaceOverlay::Tick() {
    switch (game_.GetState()) {
        case GameState::kPlaying:
            if (startButton_.IsVisible()) {
                startButton_.SetVisible(false);
                if (chatInput_.Text().empty()) ShowChat(false);
            }
            if (clock_() - scrollClockStart_ > kScrollIntervalMs && !chatShown_) ScrollMessages();
            break;
        case GameState::kLoaded:
            // A local race has started in the game step already; a network race waits
            // for the server.
            if (game_.NetworkGame()) ShowNetworkStart();
            break;
        case GameState::kFinishing:
            if (!chatShown_) ShowChat(true);
            break;
        default: break;
    }
    if (game_.GetState() != GameState::kLoaded && startButton_.IsVisible()) startButton_.SetVisible(false);
    if (scorePanel_.IsVisible()) ShowScore(true);
}

void RaceOverlay::ShowNetworkStart() {
    const bool allowed = startAllowed_ && startAllowed_();
    if (startButton_.IsVisible()) {
        // The button was shown while the game waited for a second player: it turns into
        // "Start Game" as soon as one has joined.
        if (allowed && !startButton_.IsEnabled() && startButton_.Caption().Text() == "Waiting") {
            startButton_.SetCaption("Start Game");
            startButton_.SetEnabled(true);
        }
        return;
    }
    startButton_.SetClicked(false);
    startButton_.SetCaption(allowed ? "Start Game" : "Waiting");
    startButton_.SetEnabled(allowed);
    startButton_.SetVisible(true);
    ShowChat(true);
}

void RaceOverlay::ScrollMessages() {
    TextView& view = messageList_.View();
    if (view.FirstVisibleRow() + 1 < view.LineCount()) view.SetFirstVisibleRow(view.FirstVisibleRow() + 1);
    if (view.LineCount() > kMaxMessageLines) {
        const int erase = kMaxMessageLines / 3;
        view.EraseFirstLines(erase);
        view.SetFirstVisibleRow(std::max(0, view.FirstVisibleRow() - erase));
    }
    scrollClockStart_ = clock_();
}

int RaceOverlay::FittingRows() const { return std::max(1, messageList_.View().VisibleRows()); }

int RaceOverlay::MaxFirstRow() const { return std::max(0, messageList_.View().LineCount() - FittingRows()); }

void RaceOverlay::ScrollToTail() { messageList_.View().SetFirstVisibleRow(MaxFirstRow()); }

void RaceOverlay::ShowChat(bool show) {
    messageList_.Resize();
    TextView& view = messageList_.View();
    if (show)
        ScrollToTail();
    else
        view.SetFirstVisibleRow(std::min(view.FirstVisibleRow(), MaxFirstRow()));
    chatShown_ = show;
    chatInput_.SetVisible(show);
    if (show)
        root_.SetFocusChild(&chatInput_);
    else
        root_.SetFocusChild(nullptr);
    scrollClockStart_ = clock_();
}

void RaceOverlay::ShowScore(bool shown) {
    if (shown) {
        scorePanel_.Clear();
        scorePanel_.AddText(game_.Players().ScoreText());
    }
    scorePanel_.SetVisible(shown);
}

bool RaceOverlay::SubmitChat() {
    if (!chatShown_) return false;
    const std::string text = chatInput_.Text();
    if (!text.empty()) {
        if (game_.NetworkGame() && sendChat_)
            sendChat_(text);
        else
            AddLine(text);
    }
    chatInput_.SetText("");
    chatInput_.SetCursorColumn(0);
    if (game_.GetState() == GameState::kPlaying) ShowChat(false);
    return true;
}

void RaceOverlay::Layout(int width, int height) {
    scaleX_ = width * 0.01;
    scaleY_ = height * 0.01;
    startButton_.SetSize(kStartButtonWidth, kStartButtonHeight);
    startButton_.SetPosition((width - kStartButtonWidth) / 2, (height - kStartButtonHeight) / 2);
    const int chatWidth = static_cast<int>(kChatWidthPercent * scaleX_);
    chatInput_.SetWidth(chatWidth);
    chatInput_.SetPosition(static_cast<int>(width - kChatWidthPercent * scaleX_) / 2, height - 25);
    messageList_.SetSize(std::max(width - 20, messageList_.MinWidth()),
                         static_cast<int>(kMessageListHeightPercent * scaleY_));
    messageList_.SetPosition(10, 10);
    scorePanel_.SetSize(std::max(width - 40, scorePanel_.MinWidth()), std::max(height - 40, scorePanel_.MinHeight()));
    scorePanel_.SetPosition((width - scorePanel_.Width()) / 2, (height - scorePanel_.Height()) / 2);
}
