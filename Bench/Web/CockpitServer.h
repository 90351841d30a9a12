#pragma once

#include "Bench/Web/LiveState.h"

#include <chrono>
#include <memory>
#include <string>

namespace bench::web {

// The cockpit page's HTTP server (cpp-httplib) on its own threads: the page's compiled-in files,
// the live state as Server-Sent Events, the panel's picture and the page's commands. It serves
// nothing else: every other path is 404, a malformed or oversized request a 4xx that changes
// nothing. A client that is slow to send its request loses it after kReadTimeout and never
// holds up another: each connection has its own thread (up to kMaxConnections at once).
class CockpitServer {
public:
    // At most this many pages follow the live state at once.
    static constexpr int kMaxStreams = 4;
    static constexpr std::size_t kMaxConnections = 96;
    static constexpr std::size_t kMaxBody = 1024;
    // A page on the same machine sends a request's headers and body at once.
    static constexpr auto kReadTimeout = std::chrono::milliseconds(500);

    explicit CockpitServer(LiveState& state);
    ~CockpitServer();
    CockpitServer(const CockpitServer&) = delete;
    CockpitServer& operator=(const CockpitServer&) = delete;

    // Binds host:port (port 0: any free port) and serves until Stop; false with the reason when
    // the address cannot be bound.
    bool Start(const std::string& host, int port, std::string& error);
    int Port() const;
    // Stops listening and ends every stream, at any moment of the server's life (also before it
    // listens, or when it never started). Returns once no request touches the live state any
    // more; a connection still waiting for a slow client ends on its own within the timeouts.
    void Stop();

private:
    struct Impl;
    std::shared_ptr<Impl> impl;
};

} // namespace bench::web
