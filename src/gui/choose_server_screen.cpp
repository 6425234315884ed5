#include "gui/choose_server_screen.h"

#include <utility>

namespace {
constexpr int kRefreshWidth = 124;
constexpr int kSortWidth = 124;
// Wide enough for the whole "Connect" at the buttons' cell size.
constexpr int kConnectWidth = 124;
constexpr int kButtonHeight = 20;
// The status line is as small as the rows, so that the failure text fits.
constexpr int kStatusCellSize = 12;
constexpr int kStatusHeight = 14;
}  // namespace

ChooseServerScreen::ChooseServerScreen(MenuNetwork& network, std::string configFileName)
    : SettingsScreen(configFileName), network_(network), userName_(network, configFileName) {
    SetCaption("Network->Choose Server");
    OkButton().SetCaption("Connect");
    OkButton().SetSize(kConnectWidth, OkButton().Height());
    listLabel_.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    status_.SetAlignment(Label::kAlignLeft, Label::kAlignMiddle);
    status_.SetCellSize(kStatusCellSize);
    serverList_.SetRowsSelectable(true);
    AddClientChild(&listLabel_);
    AddClientChild(&serverList_);
    AddClientChild(&status_);
    AddClientChild(&refresh_);
    AddClientChild(&sort_);
    AddChild(&userName_);
    userName_.SetOwner(this);
    userName_.SetVisible(false);
    userName_.SetOnLoggedIn([this] { Accept(); });
    SetSize(kWidth, kHeight);
    Resize();
}

void ChooseServerScreen::OnShown() {
    SettingsScreen::OnShown();
    connecting_ = false;
    network_.Start();
    Refresh();
}

void ChooseServerScreen::Refresh() {
    status_.SetText("Refreshing...");
    network_.RequestServerListRefresh();
}

void ChooseServerScreen::OnResized() {
    const int x = ClientPanel().Client().x + MarginX();
    const int width = ClientPanel().Client().width - 2 * MarginX();
    int y = ClientPanel().Client().y + MarginY();
    listLabel_.SetSize(width, listLabel_.Height());
    listLabel_.SetPosition(x, y);
    y += listLabel_.Height() + Spacing();
    const int bottom = ClientPanel().Client().bottom - MarginY();
    const int buttonsTop = bottom - kButtonHeight;
    const int statusTop = buttonsTop - Spacing() - kStatusHeight;
    serverList_.SetSize(width, statusTop - Spacing() - y);
    serverList_.SetPosition(x, y);
    status_.SetSize(width, kStatusHeight);
    status_.SetPosition(x, statusTop);
    refresh_.SetSize(kRefreshWidth, kButtonHeight);
    refresh_.SetPosition(x, buttonsTop);
    sort_.SetSize(kSortWidth, kButtonHeight);
    sort_.SetPosition(x + kRefreshWidth + Spacing(), buttonsTop);
    userName_.SetPosition((Width() - userName_.Width()) / 2, (Height() - userName_.Height()) / 2);
}

void ChooseServerScreen::OnKeyUp(KeyEvent*) {
    if (refresh_.Clicked()) {
        refresh_.SetClicked(false);
        Refresh();
    }
    if (sort_.Clicked()) {
        sort_.SetClicked(false);
        sortByPing_ = true;
        ShowRows();
    }
}

void ChooseServerScreen::ShowServers(const std::vector<ServerRow>& rows, bool cached) {
    std::vector<ServerRow> fresh = rows;
    KeepKnownPings(rows_, fresh);
    rows_ = std::move(fresh);
    status_.SetText(cached ? "(cached) Directory unreachable"
                           : std::to_string(rows_.size()) + (rows_.size() == 1 ? " server" : " servers"));
    ShowRows();
}

void ChooseServerScreen::ShowPing(const std::string& host, uint16_t port, int pingMs) {
    if (SetRowPing(rows_, host, port, pingMs)) ShowRows();
}

void ChooseServerScreen::ShowListFailed(const std::string& text) { status_.SetText(text); }

void ChooseServerScreen::ShowRows() {
    const int selected = serverList_.SelectedRow();
    const bool hasChoice = selected >= 0 && static_cast<size_t>(selected) < rows_.size();
    const ServerEntry chosen = hasChoice ? rows_[static_cast<size_t>(selected)].entry : ServerEntry();
    if (sortByPing_) SortRowsByPing(rows_);
    const int firstRow = serverList_.View().FirstVisibleRow();
    serverList_.Clear();
    std::vector<bool> dimmed;
    int reselect = -1;
    for (const ServerRow& row : rows_) {
        if (hasChoice && reselect < 0 && row.entry.host == chosen.host && row.entry.port == chosen.port)
            reselect = static_cast<int>(dimmed.size());
        serverList_.AddText(RowText(row));
        dimmed.push_back(!row.compatible);
    }
    serverList_.View().SetDimmedRows(std::move(dimmed));
    serverList_.View().SetFirstVisibleRow(firstRow);
    serverList_.SetSelectedRow(reselect);
    serverList_.Resize();
}

bool ChooseServerScreen::Confirm() {
    const int selected = serverList_.SelectedRow();
    if (selected < 0 || static_cast<size_t>(selected) >= rows_.size()) {
        ShowMessage("ERROR", "No servers selected", kShowOk);
        return false;
    }
    const ServerRow& row = rows_[static_cast<size_t>(selected)];
    if (!row.compatible) {
        ShowMessage(
            "Error",
            "This server runs version " + row.entry.version + "; this game plays version " + kDirectoryVersion + ".",
            kShowOk);
        return false;
    }
    if (connecting_) return false;
    connecting_ = true;
    connectResult_ = 0;
    status_.SetText("Connecting to " + row.entry.name + "...");
    network_.ConnectInBackground(row.entry.host, row.entry.port, &connectResult_);
    // The tick asks for the user name once connected; the screen is accepted once the
    // user name dialog has logged in.
    return false;
}

void ChooseServerScreen::OnTick() {
    if (!connecting_ || connectResult_ == 0) return;
    connecting_ = false;
    if (connectResult_ < 0) {
        status_.SetText(network_.StatusText());
        ShowMessage("Error", network_.StatusText(), kShowOk);
        return;
    }
    status_.SetText("");
    userName_.SetVisible(true);
}
