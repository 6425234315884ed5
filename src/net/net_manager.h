#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/spin_lock.h"
#include "net/address.h"
#include "net/byte_queue.h"
#include "net/frame.h"

// One connection of the table. The record outlives its socket: after the peer closes,
// what it sent stays readable in `receive` until the record is purged.
struct Connection {
    PeerAddress peer;
    int socket = -1;
    ByteQueue receive;
    ByteQueue send;
    std::atomic<bool> closed{true};
    // Set when the connection was dropped for bad data (a broken frame, too many
    // unread bytes) rather than closed by the peer.
    bool failed = false;
};

struct NetOptions {
    int connect_time_limit_ms = 5000;
    // Unread bytes a connection may hold before it is dropped: a peer cannot make
    // the game buffer without end. It also bounds a downloaded document.
    size_t receive_limit = 1 << 20;
    size_t max_frame_size = kMaxFrameSize;
};

// The TCP layer under the game-server client and the server directory: the table of
// connections with one receive and one send queue each, a poll-based pump between
// sockets and queues, and the message frames of the game protocol. Log lines go to
// the net module.
//
// One thread owns it and makes every call, except SendMessage and Send, which any
// thread may call to queue a message (the queues and the watch sets have their own
// locks; the table is only grown and shrunk by the owner, under its lock).
class NetManager {
public:
    static constexpr size_t kMaxWatched = 64;
    static constexpr size_t kScratchSize = 64000;
    static constexpr uint16_t kDefaultPort = 80;

    explicit NetManager(const NetOptions& options = NetOptions());
    ~NetManager();
    NetManager(const NetManager&) = delete;
    NetManager& operator=(const NetManager&) = delete;

    bool Startup();
    void Shutdown();

    // Opens the connection to the stored host and port and makes it the current one;
    // a port written in the host ("host:port", "[v6]:port") wins over the stored
    // one. Closes the previous current connection first.
    bool Connect();
    bool ConnectTo(const std::string& host, uint16_t port);
    // Any thread, at shutdown: a connect under way gives up within a few milliseconds,
    // and later ones fail at once.
    void CancelConnects() { cancelConnects_ = true; }
    void Disconnect();
    void SetHost(const std::string& host) { host_ = host; }
    void SetPort(uint16_t port) { port_ = port; }

    // Waits for readiness at most waitUnits × 100 microseconds.
    bool Select(int waitUnits);
    bool PumpReads();
    bool PumpWrites();

    // Frames one message and queues it on `socket` (any thread).
    bool SendMessage(int socket, uint8_t kind, const void* payload, size_t length);
    // Queues the unread bytes of `buffer` (consuming them) as one message on the
    // current connection.
    bool Send(uint8_t kind, ByteQueue& buffer);
    // Queues raw bytes (no frame) on `socket`, as a directory request needs.
    bool SendRaw(int socket, const void* bytes, size_t length);

    // A whole frame waits on the current connection. A frame that can never be
    // whole drops the connection (logged) instead of being waited for.
    bool HasMessage();
    // Moves exactly one whole frame, head included, into `destination`.
    bool NextMessage(ByteQueue& destination);

    // Hands what the socket takes of the send queue to it. Returns the byte count
    // sent, 0 when closed or nothing could be sent now, negative on a send error
    // (the pending bytes are then dropped, not retried).
    long SendPending(int socket);

    // Takes an open socket into the table and the watch sets; it becomes owned here.
    void AddConnection(int socket, const PeerAddress& address);
    void RemoveConnection(int socket);
    void PurgeClosed();
    // Closes the current connection and erases its record with what it held.
    void DropCurrent();

    bool Connected() const { return connected_; }
    // Why the last Connect failed, for the player ("Connection refused by host:4077");
    // empty after a success.
    const std::string& ConnectFailure() const { return connectFailure_; }
    int CurrentSocket() const { return currentSocket_.load(); }
    Connection* CurrentConnection() const { return current_; }
    Connection* FindConnection(int socket);
    int ConnectionCount() const { return connectionCount_; }

private:
    enum class ReceiveResult { kData, kNothing, kClosed };

    ReceiveResult Receive(Connection& connection);
    void CloseSocket(int socket);
    void DropForError(Connection& connection, const char* what);
    // Adds to or removes from a watch set; the caller holds setsLock_.
    static void Watch(std::vector<int>& set, int socket);
    static void Unwatch(std::vector<int>& set, int socket);
    static bool Contains(const std::vector<int>& set, int socket);

    NetOptions options_;
    std::atomic<bool> cancelConnects_{false};
    bool started_ = false;
    std::vector<uint8_t> scratch_;
    std::vector<uint8_t> sendScratch_;
    std::string host_;
    uint16_t port_ = kDefaultPort;
    std::string connectFailure_;
    std::atomic<int> currentSocket_{-1};
    Connection* current_ = nullptr;
    bool connected_ = false;

    SpinLock setsLock_;
    std::vector<int> readSet_;
    std::vector<int> writeSet_;
    std::vector<int> readReady_;
    std::vector<int> writeReady_;

    SpinLock tableLock_;
    std::map<int, std::unique_ptr<Connection>> table_;
    int connectionCount_ = 0;
};
