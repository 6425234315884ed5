#include "net/protocol.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "net/frame.h"

namespace {

constexpr uint8_t kBulletLoadedFlag = 1 << 4;
constexpr uint8_t kBulletFieldsFlag = 1 << 7;

class PayloadWriter {
public:
    void U8(uint8_t value) { out_.push_back(value); }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void U32(uint32_t value) {
        for (int i = 0; i < 4; ++i) out_.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }
    void Text(const std::string& text) {
        const size_t length = std::min(text.size(), kMaxTextLength);
        out_.push_back(static_cast<uint8_t>(length));
        out_.insert(out_.end(), text.begin(), text.begin() + length);
    }
    void Names(const std::vector<std::string>& names) {
        const size_t count = std::min(names.size(), kMaxTextLength);
        out_.push_back(static_cast<uint8_t>(count));
        for (size_t i = 0; i < count; ++i) Text(names[i]);
    }
    void Game(const GameRecord& game) {
        I32(game.max_players);
        I32(game.victories);
        I32(game.reserved);
        I32(game.game_id);
        Text(game.level_name);
        Text(game.title);
        U32(game.checksum);
    }
    Payload Take() { return std::move(out_); }

private:
    Payload out_;
};

std::string ReadText(ByteReader& reader) { return reader.String(reader.U8()); }

// The count byte bounds the list at 255, and every name costs at least its length
// byte, so a bad count fails the reader long before it could grow the list far.
std::vector<std::string> ReadNames(ByteReader& reader) {
    const size_t count = reader.U8();
    std::vector<std::string> names;
    for (size_t i = 0; i < count && reader.Ok(); ++i) names.push_back(ReadText(reader));
    return names;
}

GameRecord ReadGame(ByteReader& reader) {
    GameRecord game;
    game.max_players = reader.I32();
    game.victories = reader.I32();
    game.reserved = reader.I32();
    game.game_id = reader.I32();
    game.level_name = ReadText(reader);
    game.title = ReadText(reader);
    game.checksum = reader.U32();
    return game;
}

// Runs `read` over the payload and keeps its result only when it used every byte.
template <typename Value, typename ReadFn>
bool DecodeWhole(const uint8_t* data, size_t size, Value& out, ReadFn read) {
    if (data == nullptr && size != 0) return false;
    ByteReader reader(data, size);
    Value value = read(reader);
    if (!reader.Ok() || !reader.AtEnd()) return false;
    out = std::move(value);
    return true;
}

}  // namespace

bool IsValidGameRecord(const GameRecord& game) {
    return !game.level_name.empty() && game.max_players != 0 && game.victories != 0;
}

Payload EncodeText(const std::string& text) {
    PayloadWriter writer;
    writer.Text(text);
    return writer.Take();
}

bool DecodeText(const uint8_t* data, size_t size, std::string& text) { return DecodeWhole(data, size, text, ReadText); }

Payload EncodeChat(const std::string& text) {
    return Payload(text.begin(), text.begin() + std::min(text.size(), kMaxPayloadSize));
}

std::string DecodeChat(const uint8_t* data, size_t size) {
    return data == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(data), size);
}

Payload EncodeByte(uint8_t value) { return Payload{value}; }

bool DecodeByte(const uint8_t* data, size_t size, uint8_t& value) {
    return DecodeWhole(data, size, value, [](ByteReader& reader) { return reader.U8(); });
}

Payload EncodeInt(int32_t value) {
    PayloadWriter writer;
    writer.I32(value);
    return writer.Take();
}

bool DecodeInt(const uint8_t* data, size_t size, int32_t& value) {
    return DecodeWhole(data, size, value, [](ByteReader& reader) { return reader.I32(); });
}

Payload EncodeGameRecord(const GameRecord& game) {
    PayloadWriter writer;
    writer.Game(game);
    return writer.Take();
}

bool DecodeGameRecord(const uint8_t* data, size_t size, GameRecord& game) {
    return DecodeWhole(data, size, game, ReadGame);
}

Payload EncodeCreateRequest(const CreateRequest& request) {
    PayloadWriter writer;
    writer.Game(request.game);
    writer.Names(request.names);
    return writer.Take();
}

bool DecodeCreateRequest(const uint8_t* data, size_t size, CreateRequest& request) {
    return DecodeWhole(data, size, request, [](ByteReader& reader) {
        CreateRequest read;
        read.game = ReadGame(reader);
        read.names = ReadNames(reader);
        return read;
    });
}

Payload EncodeCreateReply(const CreateReply& reply) {
    PayloadWriter writer;
    writer.U8(reply.status);
    if (reply.status != kStatusRefused) writer.I32(reply.game_id);
    return writer.Take();
}

bool DecodeCreateReply(const uint8_t* data, size_t size, CreateReply& reply) {
    return DecodeWhole(data, size, reply, [](ByteReader& reader) {
        CreateReply read;
        read.status = reader.U8();
        if (read.status != kStatusRefused) read.game_id = reader.I32();
        return read;
    });
}

Payload EncodeJoinRequest(const JoinRequest& request) {
    PayloadWriter writer;
    writer.I32(request.game_id);
    if (!request.rejoin) writer.Names(request.names);
    return writer.Take();
}

bool DecodeJoinRequest(const uint8_t* data, size_t size, JoinRequest& request) {
    return DecodeWhole(data, size, request, [](ByteReader& reader) {
        JoinRequest read;
        read.game_id = reader.I32();
        read.rejoin = reader.AtEnd();
        if (!read.rejoin) read.names = ReadNames(reader);
        return read;
    });
}

Payload EncodeJoinReply(const JoinReply& reply) {
    PayloadWriter writer;
    writer.U8(reply.status);
    if (reply.status != kStatusRefused) writer.Game(reply.game);
    return writer.Take();
}

bool DecodeJoinReply(const uint8_t* data, size_t size, JoinReply& reply) {
    return DecodeWhole(data, size, reply, [](ByteReader& reader) {
        JoinReply read;
        read.status = reader.U8();
        if (read.status != kStatusRefused) read.game = ReadGame(reader);
        return read;
    });
}

Payload EncodePlayerJoined(const PlayerJoined& joined) {
    PayloadWriter writer;
    writer.U8(joined.slot);
    writer.Text(joined.name);
    writer.U8(joined.flag);
    return writer.Take();
}

bool DecodePlayerJoined(const uint8_t* data, size_t size, PlayerJoined& joined) {
    return DecodeWhole(data, size, joined, [](ByteReader& reader) {
        PlayerJoined read;
        read.slot = reader.U8();
        read.name = ReadText(reader);
        read.flag = reader.U8();
        return read;
    });
}

Payload EncodePingReply(const PingReply& reply) {
    PayloadWriter writer;
    writer.I32(reply.client_time);
    writer.I32(reply.server_time);
    return writer.Take();
}

bool DecodePingReply(const uint8_t* data, size_t size, PingReply& reply) {
    return DecodeWhole(data, size, reply, [](ByteReader& reader) {
        PingReply read;
        read.client_time = reader.I32();
        read.server_time = reader.I32();
        return read;
    });
}

size_t PlayerUpdateSizeFromFlags(uint8_t flags) {
    const bool bulletFields = (flags & kBulletLoadedFlag) == 0 || (flags & kBulletFieldsFlag) != 0;
    return bulletFields ? kPlayerUpdateLongSize : kPlayerUpdateShortSize;
}

bool IsWellSizedPlayerUpdate(const uint8_t* data, size_t size) {
    return data != nullptr && size != 0 && size == PlayerUpdateSizeFromFlags(data[0]);
}
