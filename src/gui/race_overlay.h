#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "game/game_manager.h"
#include "gui/button.h"
#include "gui/edit_field.h"
#include "gui/text_list.h"
#include "gui/text_view.h"

// What the window shows over a race: the message list at the top (help lines, hits,
// wins, chat), the chat input at the bottom, the start button of a network race in
// the middle and the score panel while the score key is held. It follows the game's
// state once per frame and scrolls the message list along while a race is played; the
// game's rules run elsewhere.
class RaceOverlay : public MessageLines {
public:
    using Clock = std::function<int64_t()>;

    // A third of the lines go when the list holds more than this many.
    static constexpr int kMaxMessageLines = 1000;
    static constexpr int64_t kScrollIntervalMs = 3000;

    // Adds its widgets to `root`, which must outlive it.
    RaceOverlay(Widget& root, GameManager& game, Clock clock = {});

    void AddLine(const std::string& line) override;
    void ClearLines() override;

    // A network race: whether the server would start the race now, and where the chat
    // line goes instead of the message list (the server sends it back to everyone).
    void SetNetworkHooks(std::function<bool()> startAllowed, std::function<void(const std::string&)> sendChat) {
        startAllowed_ = std::move(startAllowed);
        sendChat_ = std::move(sendChat);
    }

    // Once per frame, after the game step: the overlay follows the game's state.
    void Tick();
    void ShowChat(bool show);
    bool ChatShown() const { return chatShown_; }
    void ShowScore(bool shown);
    // Places the widgets for a window of this size.
    void Layout(int width, int height);
    // Enter in the chat line: its text goes to the message list (to the server in a
    // network race) and the line empties.
    // False when the chat line is hidden (the key is then the game's).
    bool SubmitChat();

    TextList& MessageList() { return messageList_; }
    FramedEditField& ChatInput() { return chatInput_; }
    Button& StartButton() { return startButton_; }
    TextView& ScorePanel() { return scorePanel_; }

private:
    void ScrollMessages();
    void ShowNetworkStart();
    void ScrollToTail();
    int FittingRows() const;
    int MaxFirstRow() const;

    Widget& root_;
    GameManager& game_;
    Clock clock_;
    std::function<bool()> startAllowed_;
    std::function<void(const std::string&)> sendChat_;
    TextList messageList_;
    FramedEditField chatInput_;
    Button startButton_;
    TextView scorePanel_;
    int64_t scrollClockStart_ = 0;
    bool chatShown_ = true;
    double scaleX_ = 0;
    double scaleY_ = 0;
};
