#pragma once

#include "Bench/Web/LiveState.h"

#include <memory>
#include <string>

namespace bench::web {

// The cockpit page's HTTP server (cpp-httplib) on its own threads: the page's compiled-in files,
// the live state as Server-Sent Events, the panel's picture and the page's commands. It serves
// nothing else: every other path is 404, a malformed or oversized request a 4xx that changes
// nothing.
class CockpitServer {
public:
    // At most this many pages follow the live state at once; each holds one of the threads.
    static constexpr int kMaxStreams = 4;
    static constexpr int kThreads = 8;
    static constexpr std::size_t kMaxBody = 1024;

    explicit CockpitServer(LiveState& state);
    ~CockpitServer();
    CockpitServer(const CockpitServer&) = delete;
    CockpitServer& operator=(const CockpitServer&) = delete;

    // Binds host:port (port 0: any free port) and serves until Stop; false with the reason when
    // the address cannot be bound.
    bool Start(const std::string& host, int port, std::string& error);
    int Port() const;
    // Ends every stream and stops listening; waits for the server's threads.
    void Stop();

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace bench::web
