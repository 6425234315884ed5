#include "gui/menu_game.h"

#include "game/game_manager.h"

const std::vector<LevelEntry>& GameManagerMenuGame::Levels() const { return game_.Levels(); }

bool GameManagerMenuGame::SelectLevel(int index) { return game_.SelectLevel(index); }

void GameManagerMenuGame::SetHitLimit(int maxHits) { game_.SetHitLimit(maxHits); }

bool GameManagerMenuGame::LoadLevel() { return game_.LoadLevel(); }

void GameManagerMenuGame::AddParticipant(int id, const std::string& name, bool local) {
    game_.AddParticipant(id, name, local);
}

void GameManagerMenuGame::SetNetworkGame(bool network) { game_.SetNetworkGame(network); }

void GameManagerMenuGame::ShowRaceMessage(const std::string& line) { game_.AddMessage(line); }
