#include "gui/player_names_dialog.h"

#include <utility>

namespace {
const char* const kSection = "General";
constexpr int kFieldHeight = 14;
constexpr int kLabelWidth = 120;
}  // namespace

PlayerNamesDialog::PlayerNamesDialog(std::string configFileName) : SettingsScreen(std::move(configFileName)) {
    SetCaption("Player Names");
    help_.SetCellSize(8);
    help_.SetWrap(true, 34);
    help_.AddText("Leave name of the second player empty, to play alone.");
    help_.SetFocusable(false);
    for (FramedEditField* field : {&player1Name_, &player2Name_}) field->SetHeight(kFieldHeight);
    for (Label* label : {&player1Label_, &player2Label_}) label->SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    AddClientChild(&help_);
    AddClientChild(&player1Label_);
    AddClientChild(&player1Name_);
    AddClientChild(&player2Label_);
    AddClientChild(&player2Name_);
    SetSize(kWidth, kHeight);
    Resize();
}

std::vector<std::string> PlayerNamesDialog::Names() const {
    std::vector<std::string> names{player1Name_.Text()};
    if (!player2Name_.Text().empty()) names.push_back(player2Name_.Text());
    return names;
}

void PlayerNamesDialog::OnShown() {
    SettingsScreen::OnShown();
    const IniFile settings = ReadSettings();
    player1Name_.SetText(settings.HasKey(kSection, "Player1Name") ? settings.GetString(kSection, "Player1Name")
                                                                  : "Player1");
    player2Name_.SetText(settings.HasKey(kSection, "Player2Name") ? settings.GetString(kSection, "Player2Name")
                                                                  : "Player2");
}

void PlayerNamesDialog::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    int y = ClientPanel().Client().y + MarginY();
    help_.SetSize(width, 24);
    help_.SetPosition(x, y);
    y += help_.Height() + Spacing();
    y = PlaceRow(player1Label_, player1Name_, y, kLabelWidth, width - kLabelWidth - Spacing());
    PlaceRow(player2Label_, player2Name_, y, kLabelWidth, width - kLabelWidth - Spacing());
}

bool PlayerNamesDialog::Confirm() {
    if (player1Name_.Text().empty()) {
        ShowMessage("Error", "You should enter name of player 1.", kShowOk);
        return false;
    }
    IniFile settings = ReadSettings();
    settings.SetValue(kSection, "Player1Name", player1Name_.Text(), true);
    settings.SetValue(kSection, "Player2Name", player2Name_.Text(), true);
    SaveSettings(settings);
    if (onNames_) onNames_(Names());
    return true;
}
