#include "gui/in_server_screen.h"

#include <initializer_list>
#include <utility>

#include "base/report.h"
#include "gui/server_game_entry.h"
#include "net/local_addresses.h"

namespace {
constexpr int kFieldHeight = 14;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 20;
}  // namespace

InServerScreen::InServerScreen(MenuGame& game, MenuNetwork& network, HostedServer& hosting, std::string configFileName)
    : game_(game), network_(network), hosting_(hosting), playerNames_(std::move(configFileName)) {
    SetCaption("Network->In Server");
    OkButton().SetCaption("Create");
    for (Label* label : {&gamesLabel_, &chatLabel_}) label->SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    games_.SetRowsSelectable(true);
    chat_.SetFollowTail(true);
    chatInput_.SetHeight(kFieldHeight);
    for (Widget* widget :
         std::initializer_list<Widget*>{&gamesLabel_, &games_, &join_, &chatLabel_, &chat_, &chatInput_})
        AddClientChild(widget);
    AddChild(&playerNames_);
    playerNames_.SetOwner(this);
    playerNames_.SetVisible(false);
    playerNames_.SetOnNames([this](const std::vector<std::string>& names) { Join(names); });
    SetSize(kWidth, kHeight);
    Resize();
}

void InServerScreen::OnShown() {
    Screen::OnShown();
    joining_ = false;
    joined_ = false;
    result_ = 0;
    if (!hosting_.TakeNewlyListening()) return;
    for (const std::string& line : hosting_.AnnouncementLines(LanAddresses())) {
        Report(LogModule::kGui, LogLevel::kInfo, "%s", line.c_str());
        chatLines_.AddLine(line);
    }
}

void InServerScreen::Apply() {
    if (CancelButton().Clicked()) {
        network_.LeaveServer();
        hosting_.Stop();
        Cancel();
        SetEnabled(false);
        return;
    }
    OkButton().SetClicked(false);
    Accept();
    SetEnabled(false);
}

// Enter in the chat line sends it; the dialog never sees that key.
void InServerScreen::KeyUp(KeyEvent* event) {
    if (event->code == kKeyEnter && IsAvailable() && !playerNames_.IsVisible() && !Message().IsVisible() &&
        !chatInput_.Text().empty()) {
        network_.SendChat(chatInput_.Text());
        chatInput_.SetText("");
        chatInput_.SetCursorColumn(0);
        event->code = KEY_CONSUMED;
        return;
    }
    Screen::KeyUp(event);
}

void InServerScreen::OnKeyUp(KeyEvent*) {
    if (!join_.Clicked()) return;
    join_.SetClicked(false);
    playerNames_.SetVisible(true);
}

void InServerScreen::Join(const std::vector<std::string>& names) {
    result_ = 0;
    joining_ = true;
    network_.JoinGame(games_.SelectedRow(), &result_, names);
}

void InServerScreen::OnTick() {
    if (!joining_) return;
    switch (FollowServerGame(result_, game_)) {
        case ServerGameEntry::kWaiting: return;
        case ServerGameEntry::kRefused: ShowMessage("Error", "Could not join game.", kShowOk); break;
        case ServerGameEntry::kLoadFailed: ShowMessage("Error", "Error with loading level", kShowOk); break;
        case ServerGameEntry::kLoaded:
            joined_ = true;
            Accept();
            SetEnabled(false);
            break;
    }
    joining_ = false;
}

void InServerScreen::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    const int bottom = ClientPanel().Client().bottom - MarginY();
    int y = ClientPanel().Client().y + MarginY();
    const int listHeight = (bottom - y - 2 * gamesLabel_.Height() - kButtonHeight - kFieldHeight - 6 * Spacing()) / 2;
    gamesLabel_.SetSize(width, gamesLabel_.Height());
    gamesLabel_.SetPosition(x, y);
    y += gamesLabel_.Height() + Spacing();
    games_.SetSize(width, listHeight);
    games_.SetPosition(x, y);
    y += listHeight + Spacing();
    join_.SetSize(kButtonWidth, kButtonHeight);
    join_.SetPosition(x, y);
    y += kButtonHeight + Spacing();
    chatLabel_.SetSize(width, chatLabel_.Height());
    chatLabel_.SetPosition(x, y);
    y += chatLabel_.Height() + Spacing();
    chat_.SetSize(width, listHeight);
    chat_.SetPosition(x, y);
    y += listHeight + Spacing();
    chatInput_.SetSize(width, kFieldHeight);
    chatInput_.SetPosition(x, y);
    playerNames_.SetPosition((Width() - playerNames_.Width()) / 2, (Height() - playerNames_.Height()) / 2);
}
