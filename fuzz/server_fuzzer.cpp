#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "net/frame.h"
#include "server/frame_intake.h"
#include "server/lobby.h"

namespace {

// Every frame the server says must be one well-formed frame, to a client it knows.
class CheckingOutput : public ClientOutput {
public:
    void Send(ClientId client, const std::vector<uint8_t>& frame) override {
        FrameHead head;
        if (client == 0 || CheckFrame(frame.data(), frame.size(), head) != FrameStatus::kFrame ||
            head.length != frame.size()) {
            std::abort();
        }
    }
    void Close(ClientId client) override {
        if (client == 0) std::abort();
    }
};

}  // namespace

// Four clients speak in turns. Each turn is a control byte (low two bits: the client;
// bit 2: the clock moves on 1-64 s, taken from the high bits; bit 3: the client drops
// and reconnects), a length byte, and that many stream bytes for the client's frame
// reader, which hands whole frames to the lobby as the host does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool prepared = (PrepareFuzzing(), true);
    (void)prepared;
    CheckingOutput output;
    Lobby lobby(output, LobbySettings());
    IntakeLimits limits;
    std::map<ClientId, std::unique_ptr<FrameIntake>> intakes;
    ClientId ids[4] = {1, 2, 3, 4};
    ClientId nextId = 5;
    int64_t now = 0;
    for (ClientId id : ids) {
        lobby.Connect(id, id % 2 ? "127.0.0.1" : "::1", now);
        intakes[id] = std::make_unique<FrameIntake>(limits);
    }
    size_t at = 0;
    while (at + 2 <= size) {
        const uint8_t control = data[at];
        const size_t length = data[at + 1];
        at += 2;
        const size_t count = length < size - at ? length : size - at;
        ClientId& id = ids[control & 3];
        if (control & 4) {
            now += ((control >> 4) + 1) * 4000;
            lobby.Tick(now);
        }
        if (control & 8) {
            lobby.Disconnect(id, now);
            intakes.erase(id);
            id = nextId++;
            lobby.Connect(id, id % 2 ? "127.0.0.1" : "::1", now);
            intakes[id] = std::make_unique<FrameIntake>(limits);
        }
        FrameIntake& intake = *intakes[id];
        const ClientId speaker = id;
        intake.Feed(data + at, count, now, [&](uint8_t kind, const uint8_t* payload, size_t n) {
            lobby.Receive(speaker, kind, payload, n, now);
        });
        at += count;
    }
    if (lobby.PlayerCount() > lobby.GameCount() * 16) std::abort();
    return 0;
}
