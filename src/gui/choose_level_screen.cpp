#include "gui/choose_level_screen.h"

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/server_game_entry.h"

namespace {

const char* const kSection = "General";
const char* const kDefaultPlayer1 = "Player1";
const char* const kDefaultPlayer2 = "Player2";
constexpr int kDefaultVictories = 10;
constexpr int kLabelCellSize = 10;
constexpr int kLabelWidth = 150;
constexpr int kFieldHeight = 14;

// A whole number within the hit limits, nothing else around it.
std::optional<int> ParseVictories(const std::string& text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < ChooseLevelScreen::kMinVictories || value > ChooseLevelScreen::kMaxVictories) return std::nullopt;
    return value;
}

std::string StringOr(const IniFile& ini, const char* key, const char* fallback) {
    return ini.HasKey(kSection, key) ? ini.GetString(kSection, key) : fallback;
}

void StyleLabel(Label& label) {
    label.SetCellSize(kLabelCellSize);
    label.SetHeight(kLabelCellSize + 4);
    label.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
}

}  // namespace

ChooseLevelScreen::ChooseLevelScreen(MenuGame& game, MenuNetwork& network, std::string configFileName)
    : SettingsScreen(std::move(configFileName)), game_(game), network_(network) {
    SetCaption("Start->Choose Level");
    OkButton().SetCaption("Play");
    for (Label* label : {&player1Label_, &player2Label_, &victoriesLabel_, &levelLabel_}) StyleLabel(*label);
    for (FramedEditField* field : {&player1Name_, &player2Name_, &victories_}) field->SetHeight(kFieldHeight);
    levelList_.SetRowsSelectable(true);
    levelList_.SetHorizontalScrolling(false);
    for (Widget* widget : std::initializer_list<Widget*>{&player1Label_, &player1Name_, &player2Label_, &player2Name_,
                                                         &victoriesLabel_, &victories_, &levelLabel_, &levelList_})
        AddClientChild(widget);
    SetSize(kWidth, kHeight);
    Resize();
}

void ChooseLevelScreen::OnShown() {
    SettingsScreen::OnShown();
    loadFailed_ = false;
    creating_ = false;
    createResult_ = 0;
    ShowSettings();
    FillLevelList();
}

void ChooseLevelScreen::ShowSettings() {
    const IniFile settings = ReadSettings();
    player1Name_.SetText(StringOr(settings, "Player1Name", kDefaultPlayer1));
    player2Name_.SetText(StringOr(settings, "Player2Name", kDefaultPlayer2));
    // As written: a number too large for an int would read as some other number, and
    // "Play" refuses what is no hit limit with its message anyway.
    victories_.SetText(settings.HasKey(kSection, "Victories") ? settings.GetString(kSection, "Victories")
                                                              : std::to_string(kDefaultVictories));
}

void ChooseLevelScreen::FillLevelList() {
    // The choice of the last visit stays while the catalogue still has it.
    const int previous = levelList_.SelectedRow();
    levelList_.Clear();
    for (const LevelEntry& level : game_.Levels())
        levelList_.AddText(level.name + " (max:" + std::to_string(level.maxPlayers) + ")");
    const int count = levelList_.LineCount();
    if (count > 0) levelList_.SetSelectedRow(previous >= 0 && previous < count ? previous : 0);
    // A row is marked as chosen only while the list's text has the focus within the list.
    levelList_.SetFocusChild(&levelList_.View());
    levelList_.Resize();
}

void ChooseLevelScreen::OnResized() {
    const int fieldWidth = ClientPanel().Client().width - 2 * MarginX() - kLabelWidth - Spacing();
    int y = ClientPanel().Client().y + MarginY();
    y = PlaceRow(player1Label_, player1Name_, y, kLabelWidth, fieldWidth);
    y = PlaceRow(player2Label_, player2Name_, y, kLabelWidth, fieldWidth);
    y = PlaceRow(victoriesLabel_, victories_, y, kLabelWidth, fieldWidth / 4);
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    levelLabel_.SetSize(width, levelLabel_.Height());
    levelLabel_.SetPosition(x, y);
    y += levelLabel_.Height() + Spacing();
    levelList_.SetSize(width, ClientPanel().Client().bottom - MarginY() - y);
    levelList_.SetPosition(x, y);
}

void ChooseLevelScreen::OnTick() {
    if (creating_) FollowCreate();
    if (!loadFailed_) return;
    loadFailed_ = false;
    ShowMessage("Error", saveNotice_.empty() ? "Error with loading level" : "Error with loading level\n" + saveNotice_,
                kShowOk);
}

bool ChooseLevelScreen::Confirm() {
    if (player1Name_.Text().empty()) {
        ShowMessage("Error", "You should enter name of player 1.", kShowOk);
        return false;
    }
    const std::optional<int> victories = ParseVictories(victories_.Text());
    if (!victories) {
        ShowMessage("Error", "Victories should be a whole number from 1 to 999.", kShowOk);
        return false;
    }
    saveNotice_ = StoreSettings(*victories);
    if (networkMode_) {
        CreateNetworkGame(*victories);
        return false;  // accepted once the server has created the game and the level is loaded
    }
    if (StartLocalGame(*victories)) {
        // The level's help lines are in the list now; the notice goes below them.
        if (!saveNotice_.empty()) game_.ShowRaceMessage(saveNotice_);
        return true;
    }
    loadFailed_ = true;
    return false;
}

std::string ChooseLevelScreen::StoreSettings(int victories) const {
    IniFile settings = ReadSettings();
    settings.SetValue(kSection, "Player1Name", player1Name_.Text(), true);
    settings.SetValue(kSection, "Player2Name", player2Name_.Text(), true);
    settings.SetInt(kSection, "Victories", victories, true);
    return SaveSettings(settings);
}

bool ChooseLevelScreen::StartLocalGame(int victories) {
    if (!game_.SelectLevel(levelList_.SelectedRow())) return false;
    game_.SetNetworkGame(false);
    game_.SetHitLimit(victories);
    if (!game_.LoadLevel()) return false;
    // The players exist once their level has loaded.
    game_.AddParticipant(0, player1Name_.Text(), true);
    if (!player2Name_.Text().empty()) game_.AddParticipant(1, player2Name_.Text(), true);
    return true;
}

void ChooseLevelScreen::CreateNetworkGame(int victories) {
    std::vector<std::string> names{player1Name_.Text()};
    if (!player2Name_.Text().empty()) names.push_back(player2Name_.Text());
    createResult_ = 0;
    creating_ = true;
    network_.CreateGame(levelList_.SelectedRow(), victories, &createResult_, names);
}

void ChooseLevelScreen::FollowCreate() {
    switch (FollowServerGame(createResult_, game_)) {
        case ServerGameEntry::kWaiting: return;
        case ServerGameEntry::kRefused: ShowMessage("Error", "Server refused to create a game", kShowOk); break;
        case ServerGameEntry::kLoadFailed: loadFailed_ = true; break;
        case ServerGameEntry::kLoaded:
            // The players come from the server's list of the game.
            Accept();
            SetEnabled(false);
            break;
    }
    creating_ = false;
}
