#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/protocol.h"

namespace {

// Whatever a decoder accepts encodes back to exactly the same bytes.
template <typename Value, typename Decode, typename Encode>
void RoundTrip(const uint8_t* data, size_t size, Decode decode, Encode encode) {
    Value value;
    if (!decode(data, size, value)) return;
    const Payload again = encode(value);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
}

}  // namespace

// The first byte picks the payload, the rest is the payload.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t which = data[0];
    ++data;
    --size;
    switch (which % 10) {
        case 0: RoundTrip<std::string>(data, size, DecodeText, EncodeText); break;
        case 1: RoundTrip<uint8_t>(data, size, DecodeByte, EncodeByte); break;
        case 2: RoundTrip<int32_t>(data, size, DecodeInt, EncodeInt); break;
        case 3: RoundTrip<GameRecord>(data, size, DecodeGameRecord, EncodeGameRecord); break;
        case 4: RoundTrip<CreateRequest>(data, size, DecodeCreateRequest, EncodeCreateRequest); break;
        case 5: RoundTrip<CreateReply>(data, size, DecodeCreateReply, EncodeCreateReply); break;
        case 6: RoundTrip<JoinRequest>(data, size, DecodeJoinRequest, EncodeJoinRequest); break;
        case 7: RoundTrip<JoinReply>(data, size, DecodeJoinReply, EncodeJoinReply); break;
        case 8: RoundTrip<PlayerJoined>(data, size, DecodePlayerJoined, EncodePlayerJoined); break;
        case 9: RoundTrip<PingReply>(data, size, DecodePingReply, EncodePingReply); break;
    }
    IsWellSizedPlayerUpdate(data, size);
    return 0;
}
