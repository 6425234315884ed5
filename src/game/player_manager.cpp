#include "game/player_manager.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <new>
#include <utility>

#include "base/report.h"
#include "game/collision.h"
#include "scene/model.h"

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list sizing;
    va_copy(sizing, args);
    const int length = std::vsnprintf(nullptr, 0, format, sizing);
    va_end(sizing);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, args);
    va_end(args);
    return text;
}

// Level files and scene curves give positions with at most one decimal; the ship's
// model is matched against them after rounding the same way (halves round down).
float RoundToTenth(float value) {
    const double tenths = static_cast<double>(value) * 10.0;
    const double below = std::floor(tenths);
    const double rounded = tenths - below <= 0.5 ? below : std::ceil(tenths);
    return static_cast<float>(rounded * 0.1);
}

// The edge a ship placed at `point` starts on: the one heading the way the ship's
// model is turned about z (whole degrees), else the one going Up.
const PathEdge* StartEdge(const PathPoint& point, float rotationZ) {
    double angle = std::trunc(static_cast<double>(rotationZ));
    if (angle < 0) angle += 360.0;
    for (int direction : {kUp, kDown, kRight, kLeft}) {
        const PathEdge* edge = point.edge_out[direction];
        if (edge != nullptr && std::trunc(static_cast<double>(edge->rot.z)) == angle) return edge;
    }
    return point.edge_out[kUp];
}

const PathPoint* PointAt(const std::vector<PathPoint>& points, const Vec3& spot) {
    for (const PathPoint& point : points)
        if (point.position.x == spot.x && point.position.y == spot.y && point.position.z == spot.z) return &point;
    return nullptr;
}

}  // namespace

PlayerManager::PlayerManager(GameClock::TimeSource timeSource) : clock_(std::move(timeSource)) {
    Report(LogModule::kPlayer, LogLevel::kInfo, "Player manager is initialized");
}

PlayerManager::~PlayerManager() { Report(LogModule::kPlayer, LogLevel::kInfo, "Player manager is destroyed"); }

bool PlayerManager::BuildPath(const std::vector<PathPoint>& points) { return path_.Build(points); }

void PlayerManager::SavePath(IniFile& ini) const { path_.Save(ini); }

Player* PlayerManager::AddPlayer(Model* shipModel, Model* bulletModel) {
    if (shipModel == nullptr || bulletModel == nullptr) return nullptr;
    try {
        players_.push_back(std::make_unique<Player>(static_cast<int32_t>(players_.size()), shipModel, bulletModel));
    } catch (const std::bad_alloc&) {
        Report(LogModule::kPlayer, LogLevel::kError, "not enough memory for another player");
        return nullptr;
    }
    Player& player = *players_.back();
    player.Reload();
    player.active = false;
    player.SetVisible(false);
    return &player;
}

int PlayerManager::PlacePlayers() {
    int placed = 0;
    for (const auto& entry : players_) {
        Player& player = *entry;
        Model& model = *player.ship.model;
        const Vec3 spot{RoundToTenth(model.location.x), RoundToTenth(model.location.y), RoundToTenth(model.location.z)};
        const PathPoint* point = PointAt(path_.Points(), spot);
        const PathEdge* start = point != nullptr ? StartEdge(*point, model.rotation.z) : nullptr;
        player.active = false;
        player.SetVisible(false);
        if (start == nullptr) continue;
        player.ship.PlaceOn(start, 0);
        model.rotation = Vec3{};
        player.placed = true;
        ++placed;
    }
    if (placed == 0) Report(LogModule::kPlayer, LogLevel::kError, "No players for this game?");
    return placed;
}

int PlayerManager::CountPlaced() const {
    int placed = 0;
    for (const auto& player : players_)
        if (player->placed) ++placed;
    return placed;
}

Player* PlayerManager::FindPlayer(int id) {
    if (id < 0 || static_cast<size_t>(id) >= players_.size()) return nullptr;
    return players_[static_cast<size_t>(id)].get();
}

Player* PlayerManager::LocalPlayer(int localPlayer) const {
    if (localPlayer == 0) return firstLocal_;
    if (localPlayer == 1) return secondLocal_;
    return nullptr;
}

void PlayerManager::SetPlayerInfo(int id, const std::string& name, bool local) {
    Player* player = FindPlayer(id);
    if (player == nullptr) return;
    player->name = name;
    player->local = local;
    if (local) {
        if (firstLocal_ == nullptr)
            firstLocal_ = player;
        else if (firstLocal_ != player && secondLocal_ == nullptr)
            secondLocal_ = player;
    }
    RefreshScore();
}

void PlayerManager::SetPlayerActive(int id, bool active) {
    Player* player = FindPlayer(id);
    if (player == nullptr) return;
    player->active = active;
    player->SetVisible(active);
    RefreshScore();
    if (!announce_) return;
    if (active)
        AddMessage(player->name + " joined the game.");
    else if (!player->name.empty())
        AddMessage(player->name + " left the game.");
}

void PlayerManager::Step() {
    const int32_t now = clock_.Now();
    std::vector<Player*> active;
    for (const auto& player : players_)
        if (player->active) active.push_back(player.get());
    for (Player* player : active) {
        player->ship.Update(now);
        if (!player->bullet_loaded)
            player->bullet.Update(now);
        else
            player->bullet.Tilt();
    }
    Collisions(active);
    for (const auto& player : players_) player->EndStep();
}

void PlayerManager::Collisions(const std::vector<Player*>& active) {
    for (size_t i = 0; i < active.size(); ++i) {
        Player& player = *active[i];
        for (size_t j = 0; j < i; ++j) {
            Player& other = *active[j];
            if (!other.bullet_loaded && Collide(player.ship, other.bullet, kBulletHitRadius, true)) Hit(player, other);
            if (!player.bullet_loaded && Collide(other.ship, player.bullet, kBulletHitRadius, true)) Hit(other, player);
            if (Collide(player.ship, other.ship, kShipCollisionRadius, false)) {
                if (player.ship.blocked) player.ship.collision.Start();
                if (other.ship.blocked) other.ship.collision.Start();
                SendPlayerUpdate(player, false);
                SendPlayerUpdate(other, false);
            }
        }
        // A bullet fired in this step still overlaps its ship; later it may come
        // round a loop and is simply caught again.
        if (!player.bullet_loaded && !player.just_fired &&
            Collide(player.ship, player.bullet, kOwnBulletRadius, true)) {
            player.Reload();
            SendPlayerUpdate(player, false);
        }
    }
}

void PlayerManager::Hit(Player& victim, Player& shooter) {
    shooter.Reload();
    // A remote shooter's hits arrive with its own updates.
    if (shooter.local) ++shooter.made_hits;
    victim.ship.EnterHitMode();
    ++victim.got_hits;
    SendPlayerUpdate(shooter, false);
    SendPlayerUpdate(victim, true);
    AddMessage(shooter.name + " hit " + victim.name);
    RefreshScore();
}

void PlayerManager::OnControl(int action, int localPlayer, bool pressed) {
    if (replaying_) return;
    Player* player = LocalPlayer(localPlayer);
    if (player == nullptr) return;
    Ship& ship = player->ship;
    switch (action) {
        case kControlSpeedUp:
        case kControlSlowDown: {
            const float acceleration = action == kControlSpeedUp ? AccelStep : -AccelStep;
            const bool changed = pressed ? ship.SetAcceleration(acceleration) : ship.StopAcceleration();
            if (changed) SendPlayerUpdate(*player, false);
            break;
        }
        case kControlTurnLeft:
            ship.left_held = pressed;
            SetTurn(*player, pressed ? kTurnLeft : ship.right_held ? kTurnRight : kTurnStraight);
            break;
        case kControlTurnRight:
            ship.right_held = pressed;
            SetTurn(*player, pressed ? kTurnRight : ship.left_held ? kTurnLeft : kTurnStraight);
            break;
        case kControlFire:
            if (pressed) FireShot(*player);
            break;
        default: break;
    }
}

void PlayerManager::SetTurn(Player& player, int32_t turn) {
    if (player.ship.turn == turn) return;
    player.ship.turn = turn;
    if (player.bullet_loaded) player.bullet.turn = turn;
    SendPlayerUpdate(player, false);
}

void PlayerManager::FireShot(Player& player) {
    if (player.Fire()) SendPlayerUpdate(player, false);
}

bool PlayerManager::SendUpdate(int id, bool force) {
    Player* player = FindPlayer(id);
    if (player == nullptr) return false;
    return SendPlayerUpdate(*player, force);
}

bool PlayerManager::SendPlayerUpdate(Player& player, bool force) {
    if ((!player.local && !force) || replaying_) return false;
    std::vector<PlayerUpdateSink*> accepting;
    for (PlayerUpdateSink* sink : updateSinks_)
        if (sink->Accepting()) accepting.push_back(sink);
    if (accepting.empty()) return false;
    const PlayerUpdate update = player.MakeUpdate();
    for (PlayerUpdateSink* sink : accepting) sink->TakeUpdate(update);
    Report(LogModule::kPlayer, LogLevel::kInfo, "Send update for %d player for time %d, score [%d/%d]", player.id,
           update.time, player.made_hits, player.got_hits);
    return true;
}

void PlayerManager::AddUpdateSink(PlayerUpdateSink* sink) {
    if (sink != nullptr) updateSinks_.push_back(sink);
}

void PlayerManager::RemoveUpdateSink(PlayerUpdateSink* sink) {
    for (auto it = updateSinks_.begin(); it != updateSinks_.end(); ++it) {
        if (*it == sink) {
            updateSinks_.erase(it);
            return;
        }
    }
}

const PathEdge* PlayerManager::CheckedPlace(const Player& player, const char* mover, int edgeIndex, float distance,
                                            float speed, float acceleration) const {
    const PathEdge* edge = path_.Edge(edgeIndex);
    if (edge == nullptr) {
        Report(LogModule::kPlayer, LogLevel::kWarning, "Update for %d player names %s edge %d, outside the %d edges",
               player.id, mover, edgeIndex, static_cast<int>(path_.Edges().size()));
        return nullptr;
    }
    // A bullet may start up to half a unit past the end of a short edge.
    const bool sane = std::isfinite(distance) && distance >= 0 && distance <= edge->length + 1.0f &&
                      std::isfinite(speed) && speed >= 0 && std::isfinite(acceleration);
    if (!sane) {
        Report(LogModule::kPlayer, LogLevel::kWarning, "Update for %d player carries a damaged %s state", player.id,
               mover);
        return nullptr;
    }
    return edge;
}

void PlayerManager::ApplyShipState(Player& player, const PlayerUpdate& update) {
    const PathEdge* edge = CheckedPlace(player, "ship", update.ship_edge, update.ship_distance, update.ship_speed,
                                        update.ship_acceleration);
    if (edge == nullptr) return;
    Ship& ship = player.ship;
    ship.SetAcceleration(update.ship_acceleration);
    ship.SetSpeed(update.ship_speed);
    ship.turn = TurnFromFlags(update.flags, kUpdateShipLeft, kUpdateShipRight);
    ship.left_held = (update.flags & kUpdateLeftHeld) != 0;
    ship.right_held = (update.flags & kUpdateRightHeld) != 0;
    ship.last_time = update.time;
    ship.PlaceOn(edge, update.ship_distance);
}

void PlayerManager::ApplyBulletState(Player& player, const PlayerUpdate& update) {
    if ((update.flags & kUpdateBulletLoaded) != 0) {
        if (!player.bullet_loaded) player.Reload();
        return;
    }
    // A bullet already flying here follows its own course.
    if (!player.bullet_loaded) return;
    const PathEdge* edge =
        CheckedPlace(player, "bullet", update.bullet_edge, update.bullet_distance, update.bullet_speed, 0);
    if (edge == nullptr || player.ship.edge == nullptr) return;
    FireShot(player);
    player.bullet.turn = TurnFromFlags(update.flags, kUpdateBulletLeft, kUpdateBulletRight);
    player.bullet.PlaceOn(edge, update.bullet_distance);
    player.bullet.SetSpeed(update.bullet_speed);
}

void PlayerManager::ApplyUpdate(const PlayerUpdate& update) {
    Player* player = FindPlayer(update.player_id);
    if (player == nullptr) {
        Report(LogModule::kPlayer, LogLevel::kError, "Update from a not existing player %d ", update.player_id);
        return;
    }
    bool scoreChanged = false;
    Report(LogModule::kPlayer, LogLevel::kInfo, "Received update for %d player for time %d, score [%d/%d]", player->id,
           update.time, update.made_hits, update.got_hits);
    ApplyShipState(*player, update);
    ApplyBulletState(*player, update);
    if (player->local) SendPlayerUpdate(*player, false);
    scoreChanged = update.got_hits != player->got_hits || update.made_hits != player->made_hits;
    player->got_hits = update.got_hits;
    player->made_hits = update.made_hits;
    if (scoreChanged) RefreshScore();
}

void PlayerManager::StopAll() {
    for (const auto& player : players_) {
        player->StopTriggers();
    }
}

void PlayerManager::RefreshScore() {
    if (game_over_) return;
    std::string text;
    for (const auto& player : players_) {
        if (!player->active) continue;
        text += Format("%s made hits:%d, got hits:%d\n", player->name.c_str(), player->made_hits, player->got_hits);
        if (player->made_hits > 0 && player->made_hits >= max_hits_ && !game_over_) {
            game_over_ = true;
            AddMessage(Format("%s wins the game", player->name.c_str()));
        }
    }
    scoreText_ = text;
}

std::string PlayerManager::ScoreText() const { return scoreText_; }

void PlayerManager::AddMessage(const std::string& message) const {
    if (messageSink_) messageSink_(message);
}

void PlayerManager::Clear() {
    firstLocal_ = nullptr;
    secondLocal_ = nullptr;
    players_.clear();
    path_.Clear();
    clock_.Reset();
    for (PlayerUpdateSink* sink : updateSinks_) sink->TimerReset();
    max_hits_ = 5;
    game_over_ = false;
    scoreText_.clear();
}
