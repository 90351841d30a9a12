#include "Bench/Web/CockpitServer.h"

#include "Bench/Output/PanelPicture.h"
#include "Bench/Web/Assets.h"
#include "Bench/Web/Commands.h"

#include <httplib.h>

#include <atomic>
#include <mutex>
#include <thread>

namespace bench::web {

namespace {

constexpr auto kStreamWait = std::chrono::milliseconds(500);

void Refuse(httplib::Response& res, int status, const std::string& why) {
    res.status = status;
    res.set_content(why + "\n", "text/plain; charset=utf-8");
}

} // namespace

struct CockpitServer::Impl {
    explicit Impl(LiveState& s) : state(s) {}

    void Routes();
    void Command(const httplib::Request& req, httplib::Response& res,
                 web::Command (*parse)(const Params&));
    void Stream(httplib::Response& res);
    void PanelPng(httplib::Response& res);

    LiveState& state;
    httplib::Server server;
    std::thread thread;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<int> streams{0};

    // The panel's picture, encoded once for each version of the panel.
    std::mutex pngLock;
    std::uint64_t pngVersion = 0;
    std::string png;
};

void CockpitServer::Impl::Command(const httplib::Request& req, httplib::Response& res,
                                  web::Command (*parse)(const Params&)) {
    web::Command c = parse(req.params);
    if (c.status != 200) {
        Refuse(res, c.status, c.error);
        return;
    }
    switch (state.Submit(std::move(c.action))) {
    case LiveState::Queued::Accepted:
        res.status = 204;
        break;
    case LiveState::Queued::Full:
        Refuse(res, 503, "the flight has not yet taken the commands before this one");
        break;
    case LiveState::Queued::Closed:
        Refuse(res, 503, "the flight is over");
        break;
    }
}

void CockpitServer::Impl::Stream(httplib::Response& res) {
    if (streams.fetch_add(1) >= kMaxStreams) {
        streams.fetch_sub(1);
        Refuse(res, 503, "too many pages follow the flight already");
        return;
    }
    auto seen = std::make_shared<LiveFrame>();
    res.set_header("Cache-Control", "no-store");
    res.set_chunked_content_provider(
        "text/event-stream",
        [this, seen](std::size_t, httplib::DataSink& sink) {
            LiveFrame now;
            if (!state.WaitForFrame(seen->sequence, kStreamWait, now)) {
                if (stopping.load() || state.Closed()) {
                    sink.done();
                    return true;
                }
                // A comment line: a page that has gone is noticed by the failed write.
                static constexpr std::string_view kBeat = ": still flying\n\n";
                return sink.write(kBeat.data(), kBeat.size());
            }
            std::string message = "data: " + FrameChanges(*seen, now) + "\n\n";
            *seen = std::move(now);
            return sink.write(message.data(), message.size());
        },
        [this](bool) { streams.fetch_sub(1); });
}

void CockpitServer::Impl::PanelPng(httplib::Response& res) {
    std::uint64_t version = 0;
    const PanelFrame frame = state.LatestPanel(version);
    std::string bytes;
    {
        const std::lock_guard<std::mutex> guard(pngLock);
        if (version != pngVersion || png.empty()) {
            png = EncodePanelPicture(frame);
            pngVersion = version;
        }
        bytes = png;
    }
    if (bytes.empty()) {
        Refuse(res, 500, "the panel's picture could not be drawn");
        return;
    }
    res.set_header("Cache-Control", "no-store");
    res.set_content(std::move(bytes), "image/png");
}

void CockpitServer::Impl::Routes() {
    server.set_payload_max_length(kMaxBody);
    server.set_read_timeout(5, 0);
    server.set_write_timeout(5, 0);
    server.set_keep_alive_max_count(1000);
    // Answers go out as written: without this a page's next request on the same connection
    // waits for the delayed acknowledgement of the last answer (40 ms on Linux).
    server.set_tcp_nodelay(true);
    // The library owns the queue it is handed.
    server.new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                {"Cache-Control", "no-store"},
                                {"Content-Security-Policy", "default-src 'self'"}});

    server.Get("/api/state", [this](const httplib::Request&, httplib::Response& res) {
        res.set_content(FrameChanges(LiveFrame{}, state.Latest()), "application/json");
    });
    server.Get("/api/live",
               [this](const httplib::Request&, httplib::Response& res) { Stream(res); });
    server.Get("/panel.png",
               [this](const httplib::Request&, httplib::Response& res) { PanelPng(res); });
    server.Post("/api/key", [this](const httplib::Request& req, httplib::Response& res) {
        Command(req, res, &KeyCommand);
    });
    server.Post("/api/mouse", [this](const httplib::Request& req, httplib::Response& res) {
        Command(req, res, &MouseCommand);
    });
    server.Post("/api/host", [this](const httplib::Request& req, httplib::Response& res) {
        Command(req, res, &HostCommand);
    });
    // The page's own files, and nothing from any folder.
    server.Get(R"(/[a-z]*(\.[a-z]+)?)", [](const httplib::Request& req, httplib::Response& res) {
        const Asset* asset = FindAsset(req.path);
        if (asset == nullptr) {
            Refuse(res, 404, "no such file");
            return;
        }
        res.set_content(asset->body.data(), asset->body.size(), std::string(asset->contentType));
    });
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            res.set_content(std::to_string(res.status) + "\n", "text/plain; charset=utf-8");
        }
    });
    // A handler that throws answers 500 and the server goes on.
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                                    std::exception_ptr) { Refuse(res, 500, "internal error"); });
}

CockpitServer::CockpitServer(LiveState& state) : impl(std::make_unique<Impl>(state)) {
    impl->Routes();
}

CockpitServer::~CockpitServer() {
    Stop();
}

bool CockpitServer::Start(const std::string& host, int port, std::string& error) {
    const int bound = port == 0 ? impl->server.bind_to_any_port(host)
                                : (impl->server.bind_to_port(host, port) ? port : -1);
    if (bound < 0) {
        error = "cannot listen on " + host + ":" + std::to_string(port) +
                " (address in use or not this machine's)";
        return false;
    }
    impl->port = bound;
    impl->thread = std::thread([this] { impl->server.listen_after_bind(); });
    return true;
}

int CockpitServer::Port() const {
    return impl->port;
}

void CockpitServer::Stop() {
    impl->stopping = true;
    impl->server.stop();
    if (impl->thread.joinable()) {
        impl->thread.join();
    }
}

} // namespace bench::web
