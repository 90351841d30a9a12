#include "Bench/Web/ConnectionThreads.h"

namespace bench::web {

ConnectionThreads::ConnectionThreads(std::size_t mostThreads) : most(mostThreads) {}

ConnectionThreads::~ConnectionThreads() {
    shutdown();
}

void ConnectionThreads::enqueue(std::function<void()> connection) {
    {
        const std::lock_guard<std::mutex> guard(lock);
        queued.push_back(std::move(connection));
        if (idle < queued.size() && threads.size() < most) {
            threads.emplace_back([this] { Serve(); });
            ++idle; // counted as free until it takes its first connection
        }
    }
    waiting.notify_one();
}

void ConnectionThreads::Serve() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        waiting.wait(guard, [this] { return ending || !queued.empty(); });
        if (queued.empty()) {
            --idle;
            return;
        }
        std::function<void()> connection = std::move(queued.front());
        queued.pop_front();
        --idle;
        guard.unlock();
        connection();
        guard.lock();
        ++idle;
    }
}

void ConnectionThreads::shutdown() {
    std::vector<std::thread> joining;
    {
        const std::lock_guard<std::mutex> guard(lock);
        ending = true;
        joining.swap(threads);
    }
    waiting.notify_all();
    for (std::thread& t : joining) {
        t.join();
    }
}

} // namespace bench::web
