#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace bench::web {

// The server's connections, each on a thread of its own as long as there are fewer than
// `most`: a connection holds its thread while it waits for its client, so a fixed pool that a
// few slow or idle clients fill makes every other client wait behind them. A thread that has
// finished its connection takes the next one; a new thread starts only when none is free.
// Beyond `most` connections at once, new ones wait for the first thread to come free.
class ConnectionThreads final : public httplib::TaskQueue {
public:
    explicit ConnectionThreads(std::size_t most);
    ~ConnectionThreads() override;
    ConnectionThreads(const ConnectionThreads&) = delete;
    ConnectionThreads& operator=(const ConnectionThreads&) = delete;

    void enqueue(std::function<void()> connection) override;
    // Lets every thread finish the connection it serves and joins them.
    void shutdown() override;

private:
    void Serve();

    const std::size_t most;
    std::mutex lock;
    std::condition_variable waiting;
    std::deque<std::function<void()>> queued;
    std::vector<std::thread> threads;
    std::size_t idle = 0;
    bool ending = false;
};

} // namespace bench::web
