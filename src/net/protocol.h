#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The payloads of the game protocol, as client and server exchange them inside frames
// (net/frame.h). Integers are little-endian, 32-bit unless noted. A text is a length
// byte and that many bytes; encoders cut longer texts (and name lists) at 255.
//
// Decoders take exactly one payload: a record that runs past its frame, or leaves
// bytes over, is refused (false) and the output is left as it was.

enum class MessageKind : uint8_t {
    kChat = 1,           // both: the text to the end of the frame
    kPlayerUpdate = 3,   // both: the 24- or 34-byte player update, relayed unchanged
    kCreateGame = 4,     // client: CreateRequest; server: CreateReply
    kJoinGame = 5,       // client: JoinRequest; server: JoinReply
    kReady = 7,          // client: level loaded; server: the race starts (both empty)
    kLeaveGame = 8,      // client: back to the lobby; server: the game is over (both empty)
    kListGames = 9,      // client: empty request; server: one GameRecord per game
    kLogin = 10,         // client: text user name; server: status byte
    kPlayerLeft = 12,    // server: slot byte
    kPing = 13,          // client: Ping; server: PingReply
    kPlayerJoined = 14,  // server: PlayerJoined
    kClockReport = 15,   // client: estimated server time (32-bit)
};

constexpr uint8_t ToByte(MessageKind kind) { return static_cast<uint8_t>(kind); }

constexpr uint8_t kStatusRefused = 2;
constexpr uint8_t kStatusAccepted = 1;
constexpr size_t kMaxTextLength = 255;

// The game as the lobby lists it (kind 9) and as a join reply describes it.
struct GameRecord {
    int32_t max_players = 0;
    int32_t victories = 0;
    int32_t reserved = 0;  // the client sends 0 and carries the server's value unchanged
    int32_t game_id = 0;
    std::string level_name;
    std::string title;
    uint32_t checksum = 0;  // the level's crc in the catalogue
};

// A lobby entry is usable only with a level name and non-zero players and victories.
bool IsValidGameRecord(const GameRecord& game);

struct CreateRequest {
    GameRecord game;                 // max players, victories, reserved, the id held, level, title, checksum
    std::vector<std::string> names;  // the local players
};

struct CreateReply {
    uint8_t status = kStatusRefused;
    int32_t game_id = 0;  // only on the wire when not refused
};

// A first join carries the local player names; a rejoin after a reconnect only the id.
struct JoinRequest {
    int32_t game_id = 0;
    bool rejoin = false;
    std::vector<std::string> names;
};

struct JoinReply {
    uint8_t status = kStatusRefused;
    GameRecord game;  // only on the wire when not refused
};

struct PlayerJoined {
    uint8_t slot = 0;
    std::string name;
    uint8_t flag = 0;  // 1 = set
};

struct PingReply {
    int32_t client_time = 0;  // echoed from the ping
    int32_t server_time = 0;
};

using Payload = std::vector<uint8_t>;

Payload EncodeText(const std::string& text);  // a payload of one text (kind 10 log in)
bool DecodeText(const uint8_t* data, size_t size, std::string& text);

// Chat (kind 1): the text without a length byte, cut to the largest payload.
Payload EncodeChat(const std::string& text);
std::string DecodeChat(const uint8_t* data, size_t size);

// A single status byte (kind 10 reply) or slot byte (kind 12).
Payload EncodeByte(uint8_t value);
bool DecodeByte(const uint8_t* data, size_t size, uint8_t& value);

// A single 32-bit value (kind 13 ping, kind 15 clock report).
Payload EncodeInt(int32_t value);
bool DecodeInt(const uint8_t* data, size_t size, int32_t& value);

Payload EncodeGameRecord(const GameRecord& game);
bool DecodeGameRecord(const uint8_t* data, size_t size, GameRecord& game);

Payload EncodeCreateRequest(const CreateRequest& request);
bool DecodeCreateRequest(const uint8_t* data, size_t size, CreateRequest& request);

Payload EncodeCreateReply(const CreateReply& reply);
bool DecodeCreateReply(const uint8_t* data, size_t size, CreateReply& reply);

Payload EncodeJoinRequest(const JoinRequest& request);
bool DecodeJoinRequest(const uint8_t* data, size_t size, JoinRequest& request);

Payload EncodeJoinReply(const JoinReply& reply);
bool DecodeJoinReply(const uint8_t* data, size_t size, JoinReply& reply);

Payload EncodePlayerJoined(const PlayerJoined& joined);
bool DecodePlayerJoined(const uint8_t* data, size_t size, PlayerJoined& joined);

Payload EncodePingReply(const PingReply& reply);
bool DecodePingReply(const uint8_t* data, size_t size, PingReply& reply);

// A kind-3 player update is 24 bytes, or 34 when it carries the bullet fields: while
// the bullet flies (flag bit 4 clear) or when flag bit 7 asks for them.
constexpr size_t kPlayerUpdateShortSize = 24;
constexpr size_t kPlayerUpdateLongSize = 34;
size_t PlayerUpdateSizeFromFlags(uint8_t flags);
// True when `data` holds exactly one player update of the size its flags call for.
bool IsWellSizedPlayerUpdate(const uint8_t* data, size_t size);
