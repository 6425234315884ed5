#pragma once

#include <functional>
#include <string>
#include <vector>

#include "gui/edit_field.h"
#include "gui/label.h"
#include "gui/settings_screen.h"
#include "gui/text_view.h"

// The names of this machine's players for a network game, from and to [General]
// Player1Name and Player2Name. An empty second name plays alone; the first one is needed.
class PlayerNamesDialog : public SettingsScreen {
public:
    explicit PlayerNamesDialog(std::string configFileName);

    // Runs with the names once they are stored.
    void SetOnNames(std::function<void(const std::vector<std::string>&)> onNames) { onNames_ = std::move(onNames); }
    FramedEditField& Player1Name() { return player1Name_; }
    FramedEditField& Player2Name() { return player2Name_; }
    std::vector<std::string> Names() const;

    void OnShown() override;
    void OnResized() override;

    static constexpr int kWidth = 300;
    static constexpr int kHeight = 150;

protected:
    bool Confirm() override;

private:
    TextView help_;
    Label player1Label_{"Player 1 name:"};
    Label player2Label_{"Player 2 name:"};
    FramedEditField player1Name_{"Player1"};
    FramedEditField player2Name_{"Player2"};
    std::function<void(const std::vector<std::string>&)> onNames_;
};
