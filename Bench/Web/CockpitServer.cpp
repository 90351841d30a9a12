#include "Bench/Web/CockpitServer.h"

#include "Bench/Output/PanelPicture.h"
#include "Bench/Web/Assets.h"
#include "Bench/Web/Commands.h"
#include "Bench/Web/ConnectionThreads.h"

#include <httplib.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

namespace bench::web {

namespace {

using namespace std::chrono_literals;

constexpr auto kStreamWait = 250ms;
// A connection that is kept open for the next request is closed after this long idle (whole
// seconds: the library counts them so).
constexpr time_t kKeepAliveSeconds = 1;
constexpr auto kWriteTimeout = 1s;
// How long Stop waits for the connections still open to end before it leaves them to end on
// their own.
constexpr auto kStopWait = 200ms;

void Refuse(httplib::Response& res, int status, const std::string& why) {
    res.status = status;
    res.set_content(why + "\n", "text/plain; charset=utf-8");
}

// Every request passes through the gate to reach the live state; Stop closes it and waits for
// those inside, so that no request touches the live state once Stop has returned.
class Gate {
public:
    bool Enter() {
        const std::lock_guard<std::mutex> guard(lock);
        if (closed) {
            return false;
        }
        ++inside;
        return true;
    }
    void Leave() {
        const std::lock_guard<std::mutex> guard(lock);
        if (--inside == 0) {
            empty.notify_all();
        }
    }
    void Close() {
        std::unique_lock<std::mutex> guard(lock);
        closed = true;
        empty.wait(guard, [this] { return inside == 0; });
    }

private:
    std::mutex lock;
    std::condition_variable empty;
    int inside = 0;
    bool closed = false;
};

class Pass {
public:
    explicit Pass(Gate& g) : gate(g), open(g.Enter()) {}
    ~Pass() {
        if (open) {
            gate.Leave();
        }
    }
    Pass(const Pass&) = delete;
    Pass& operator=(const Pass&) = delete;
    explicit operator bool() const { return open; }

private:
    Gate& gate;
    bool open;
};

} // namespace

// Shared by the server object and its listening thread: a thread that still waits for a slow
// client when Stop returns keeps it alive until it ends.
struct CockpitServer::Impl {
    explicit Impl(LiveState& s) : state(s) {}

    void Routes();
    httplib::Server::Handler Guarded(httplib::Server::Handler serve);
    void Command(const httplib::Request& req, httplib::Response& res,
                 web::Command (*parse)(const Params&));
    void Stream(httplib::Response& res);
    void PanelPng(httplib::Response& res);
    void Listen();

    LiveState& state;
    httplib::Server server;
    Gate gate;
    std::thread listener;
    std::mutex endLock;
    std::condition_variable endSignal;
    bool listenerEnded = false;
    int port = 0;
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

httplib::Server::Handler CockpitServer::Impl::Guarded(httplib::Server::Handler serve) {
    return [this, serve = std::move(serve)](const httplib::Request& req, httplib::Response& res) {
        const Pass pass(gate);
        if (!pass) {
            Refuse(res, 503, "the cockpit page is closing");
            return;
        }
        serve(req, res);
    };
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
            // A comment line: a page that has gone is noticed by the failed write.
            std::string message = ": still flying\n\n";
            {
                const Pass pass(gate);
                LiveFrame now;
                if (!pass || state.Closed()) {
                    sink.done();
                    return true;
                }
                if (state.WaitForFrame(seen->sequence, kStreamWait, now)) {
                    message = "data: " + FrameChanges(*seen, now) + "\n\n";
                    *seen = std::move(now);
                }
            }
            // Written outside the gate: a page that reads slowly never holds up Stop.
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
    server.set_read_timeout(kReadTimeout);
    server.set_write_timeout(kWriteTimeout);
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.set_keep_alive_max_count(1000);
    // Answers go out as written: without this a page's next request on the same connection
    // waits for the delayed acknowledgement of the last answer (40 ms on Linux).
    server.set_tcp_nodelay(true);
    // The library owns the queue it is handed.
    server.new_task_queue = [] { return new ConnectionThreads(kMaxConnections); };
    // A request with a body names its length (or comes in chunks). Without either it has none,
    // but the library would wait for one until the read timeout: it is refused at once.
    server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response& res) {
        const bool bodyMethod = req.method == "POST" || req.method == "PUT" ||
                                req.method == "PATCH" || req.method == "DELETE";
        if (bodyMethod && !req.has_header("Content-Length") &&
            !req.has_header("Transfer-Encoding")) {
            Refuse(res, 411,
                   "a request with a method that takes a body needs a Content-Length "
                   "(0 without a body)");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                {"Cache-Control", "no-store"},
                                {"Content-Security-Policy", "default-src 'self'"}});

    using httplib::Request;
    using httplib::Response;
    server.Get("/api/state", Guarded([this](const Request&, Response& res) {
                   res.set_content(FrameChanges(LiveFrame{}, state.Latest()), "application/json");
               }));
    server.Get("/api/live", Guarded([this](const Request&, Response& res) { Stream(res); }));
    server.Get("/panel.png", Guarded([this](const Request&, Response& res) { PanelPng(res); }));
    server.Post("/api/key", Guarded([this](const Request& req, Response& res) {
                    Command(req, res, &KeyCommand);
                }));
    server.Post("/api/mouse", Guarded([this](const Request& req, Response& res) {
                    Command(req, res, &MouseCommand);
                }));
    server.Post("/api/host", Guarded([this](const Request& req, Response& res) {
                    Command(req, res, &HostCommand);
                }));
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

void CockpitServer::Impl::Listen() {
    server.listen_after_bind();
    {
        const std::lock_guard<std::mutex> guard(endLock);
        listenerEnded = true;
    }
    endSignal.notify_all();
}

CockpitServer::CockpitServer(LiveState& state) : impl(std::make_shared<Impl>(state)) {
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
    impl->listener = std::thread([self = impl] { self->Listen(); });
    return true;
}

int CockpitServer::Port() const {
    return impl->port;
}

void CockpitServer::Stop() {
    impl->gate.Close();
    if (!impl->listener.joinable()) {
        return;
    }
    // The library's stop() does nothing until the listening thread runs, and that thread may
    // not have begun: asked again until it has, or until it has ended on its own.
    std::unique_lock<std::mutex> guard(impl->endLock);
    while (!impl->listenerEnded) {
        if (impl->server.is_running()) {
            impl->server.stop();
            break;
        }
        impl->endSignal.wait_for(guard, 1ms);
    }
    const bool ended =
        impl->endSignal.wait_for(guard, kStopWait, [this] { return impl->listenerEnded; });
    guard.unlock();
    if (ended) {
        impl->listener.join();
    } else {
        // Its last connections wait for clients that send nothing; they end within the
        // keep-alive and read timeouts, and the thread keeps what they use alive till then.
        impl->listener.detach();
    }
}

} // namespace bench::web
