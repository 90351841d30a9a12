#include "Bench/Web/CockpitServer.h"
#include "Bench/Flight/BuiltinFlight.h"
#include "Bench/Host/HostServices.h"
#include "Bench/Web/LiveState.h"
#include "Support/Flight.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using bench::Action;
using bench::web::CockpitServer;
using bench::web::LiveState;

// A server on a free loopback port in front of a live state that no flight drives.
struct Served {
    Served() : server(state) {
        std::string error;
        EXPECT_TRUE(server.Start("127.0.0.1", 0, error)) << error;
    }
    httplib::Client Client() const {
        httplib::Client c("127.0.0.1", server.Port());
        c.set_read_timeout(5, 0);
        return c;
    }
    std::vector<Action> Taken() {
        std::vector<Action> taken;
        state.TakeCommands(taken);
        return taken;
    }
    LiveState state{{}};
    CockpitServer server;
};

TEST(CockpitServer, ServesItsOwnFilesAndRoutesAndNothingElse) {
    Served s;
    httplib::Client c = s.Client();
    const auto page = c.Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<svg id=\"front\""), std::string::npos);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const auto script = c.Get("/cockpit.js");
    ASSERT_TRUE(script);
    EXPECT_EQ(script->status, 200);
    EXPECT_EQ(script->get_header_value("Content-Type"), "text/javascript; charset=utf-8");

    for (const char* path : {"/nothing.html", "/../../etc/passwd", "/%2e%2e/CMakeCache.txt",
                             "/Page/index.html", "/api/keys"}) {
        const auto r = c.Get(path);
        ASSERT_TRUE(r) << path;
        EXPECT_EQ(r->status, 404) << path;
    }
    // Commands are POSTs only; a GET of one is no command.
    const auto get = c.Get("/api/key?id=0x11005");
    ASSERT_TRUE(get);
    EXPECT_EQ(get->status, 404);
    EXPECT_TRUE(s.Taken().empty());

    // Before any step the state is an empty frame; the panel's picture is the empty panel.
    const auto state = c.Get("/api/state");
    ASSERT_TRUE(state);
    EXPECT_EQ(nlohmann::json::parse(state->body)["seq"], 0);
    const auto png = c.Get("/panel.png");
    ASSERT_TRUE(png);
    EXPECT_EQ(png->status, 200);
    EXPECT_EQ(png->body.substr(1, 3), "PNG");
}

TEST(CockpitServer, QueuesGoodCommandsAndRefusesTheRestWithoutEffect) {
    Served s;
    httplib::Client c = s.Client();
    const auto key = c.Post("/api/key?id=0x11005");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->status, 204);
    const auto mouse = c.Post("/api/mouse?x=418&y=310&button=wheel-up");
    ASSERT_TRUE(mouse);
    EXPECT_EQ(mouse->status, 204);
    const auto host = c.Post("/api/host?event=Pause&data=1");
    ASSERT_TRUE(host);
    EXPECT_EQ(host->status, 204);
    const std::vector<Action> taken = s.Taken();
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].id, 0x11005u);
    EXPECT_EQ(taken[1].flags, 0x4000u);
    EXPECT_EQ(taken[2].eventName, "Pause");

    // Refused: a host key event, a point off the panel, an event the page does not send, an
    // oversized body, a request whose URI is too long.
    EXPECT_EQ(c.Post("/api/key?id=0x10035")->status, 403);
    EXPECT_EQ(c.Post("/api/mouse?x=9999&y=1")->status, 400);
    EXPECT_EQ(c.Post("/api/host?event=PositionChanged")->status, 403);
    EXPECT_EQ(c.Post("/api/key?id=0x11005", std::string(64 * 1024, 'x'), "text/plain")->status,
              413);
    const auto longUri = c.Post("/api/key?id=0x11005&pad=" + std::string(20000, 'a'));
    ASSERT_TRUE(longUri);
    EXPECT_EQ(longUri->status, 414);
    EXPECT_TRUE(s.Taken().empty());

    // A request with a method HTTP does not have is a 400 and the server goes on.
    httplib::Request brew;
    brew.method = "BREW";
    brew.path = "/api/key?id=0x11005";
    httplib::Response brewed;
    httplib::Error error = httplib::Error::Success;
    ASSERT_TRUE(c.send(brew, brewed, error)) << httplib::to_string(error);
    EXPECT_EQ(brewed.status, 400);
    EXPECT_TRUE(s.Taken().empty());
    EXPECT_EQ(c.Post("/api/key?id=69637")->status, 204);

    // A flight that does not take its commands fills the inbox: further ones wait their turn.
    std::size_t accepted = 1;
    while (c.Post("/api/key?id=69637")->status == 204) {
        ++accepted;
        ASSERT_LE(accepted, LiveState::kInboxLimit);
    }
    EXPECT_EQ(accepted, LiveState::kInboxLimit);
    EXPECT_EQ(c.Post("/api/key?id=69637")->status, 503);
    EXPECT_EQ(s.Taken().size(), LiveState::kInboxLimit);
    EXPECT_EQ(c.Post("/api/key?id=69637")->status, 204);
}

// Reads the stream until its first frame, then hangs up as a closed page does.
std::optional<nlohmann::json> FirstStreamedFrame(httplib::Client& c) {
    std::string got;
    std::optional<nlohmann::json> frame;
    c.Get("/api/live", [&](const char* data, std::size_t n) {
        got.append(data, n);
        const auto start = got.find("data: ");
        const auto end = got.find("\n\n", start);
        if (start != std::string::npos && end != std::string::npos) {
            frame = nlohmann::json::parse(got.substr(start + 6, end - start - 6));
            return false;
        }
        return true;
    });
    return frame;
}

TEST(CockpitServer, StreamsTheFlightsStepsAndOutlivesPagesThatGo) {
    Served s;
    bench::EventLog log;
    bench::HostServices host(log);
    host.SetNamedValue("zelvan_speed_needle", 25.0);
    std::atomic<bool> flying{true};
    // Steps as a flight would make them, until the test is done.
    std::thread flight([&] {
        for (int step = 0; flying; ++step) {
            host.SetNamedValue("zelvan_speed_needle", 25.0 + step % 2);
            s.state.Stepped(step * 0.01, false, host);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    // More pages come and go than may follow at once: each one that left makes room, once the
    // server has noticed that it went (its next writes fail).
    std::vector<std::optional<nlohmann::json>> frames;
    for (int page = 0; page < CockpitServer::kMaxStreams + 3; ++page) {
        httplib::Client c = s.Client();
        std::optional<nlohmann::json> frame;
        for (int attempt = 0; attempt < 200 && !frame; ++attempt) {
            frame = FirstStreamedFrame(c);
            if (!frame) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        }
        frames.push_back(std::move(frame));
    }
    flying = false;
    flight.join();
    for (const auto& frame : frames) {
        ASSERT_TRUE(frame);
        EXPECT_GE((*frame)["seq"].get<int>(), 1);
        EXPECT_TRUE((*frame)["lvars"].contains("zelvan_speed_needle"));
    }
}

// A client that opens a connection, sends `request` and then nothing more. Its reads give up
// after `wait`: a server that has not answered by then holds it.
class RawClient {
public:
    RawClient(int port, const std::string& request, std::chrono::seconds wait)
        : fd(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval timeout{static_cast<time_t>(wait.count()), 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) ==
                        static_cast<ssize_t>(request.size());
    }
    ~RawClient() { ::close(fd); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    // The answer's first line, as far as it came.
    std::string StatusLine() {
        std::string got;
        char c = 0;
        while (got.find("\r\n") == std::string::npos && ::recv(fd, &c, 1, 0) == 1) {
            got += c;
        }
        return got;
    }

    bool connected = false;

private:
    int fd;
};

TEST(CockpitServer, SlowClientsHoldNeitherThePageNorTheStop) {
    Served s;
    // A command without a Content-Length has no body: it is refused at once, not after the read
    // timeout, and changes nothing.
    RawClient noLength(s.server.Port(), "POST /api/key?id=0x11005 HTTP/1.1\r\nHost: x\r\n\r\n",
                       std::chrono::seconds(3));
    ASSERT_TRUE(noLength.connected);
    EXPECT_EQ(noLength.StatusLine(), "HTTP/1.1 411 Length Required\r\n");
    EXPECT_TRUE(s.Taken().empty());

    // Fifty clients that connect and then send nothing, half of them stopped inside their
    // request: the page's own requests are still answered. They come a little apart: the
    // library listens with a queue of five connections.
    std::vector<std::unique_ptr<RawClient>> slow;
    for (int i = 0; i < 50; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        slow.push_back(std::make_unique<RawClient>(
            s.server.Port(),
            i % 2 == 0 ? "" : "GET /api/state HTTP/1.1\r\nHost:", std::chrono::seconds(3)));
        ASSERT_TRUE(slow.back()->connected);
    }
    httplib::Client c = s.Client();
    c.set_read_timeout(3, 0);
    for (int i = 0; i < 5; ++i) {
        const auto state = c.Get("/api/state");
        ASSERT_TRUE(state) << "request " << i;
        EXPECT_EQ(state->status, 200);
        const auto key = c.Post("/api/key?id=0x11005");
        ASSERT_TRUE(key) << "request " << i;
        EXPECT_EQ(key->status, 204);
    }
    EXPECT_EQ(s.Taken().size(), 5u);
    // A client stopped inside its request loses it.
    EXPECT_EQ(slow[1]->StatusLine(), "HTTP/1.1 400 Bad Request\r\n");

    // Stopping does not wait for them; the live state is left alone from then on.
    auto stopped = std::async(std::launch::async, [&] { s.server.Stop(); });
    ASSERT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_FALSE(c.Post("/api/key?id=0x11005"));
    EXPECT_TRUE(s.Taken().empty());
}

TEST(CockpitServer, StopsAtAnyMomentOfItsLife) {
    // Stopped before it starts, at once after it starts and a little later, it always returns.
    for (int round = 0; round < 40; ++round) {
        LiveState state{{}};
        CockpitServer server(state);
        if (round % 4 != 0) {
            std::string error;
            ASSERT_TRUE(server.Start("127.0.0.1", 0, error)) << error;
            std::this_thread::sleep_for(std::chrono::microseconds(round * 50));
        }
        auto stopped = std::async(std::launch::async, [&] { server.Stop(); });
        ASSERT_EQ(stopped.wait_for(std::chrono::seconds(5)), std::future_status::ready)
            << "round " << round;
    }
}

TEST(CockpitServer, AFloodOfRequestsLeavesAPacedFlightFlyingToItsEnd) {
    // A short flight at sixteen times real time that turns battery 1 on through the page.
    bench::Scenario scenario = bench::ParseScenario(
        testing_support::GroundFlight(3.0, "[power]\nbattery1=1\n", ""), "flood.json");
    std::atomic<bool> stop{false};
    LiveState state({}, &stop);
    CockpitServer server(state);
    std::string error;
    ASSERT_TRUE(server.Start("127.0.0.1", 0, error)) << error;
    bench::RunOptions options;
    bench::FindCompanions(options);
    options.live = &state;
    options.speed = 16.0;
    auto flown =
        std::async(std::launch::async, [&] { return bench::RunScenario(scenario, options); });

    constexpr int kClients = 4;
    constexpr int kEach = 2500; // 10,000 in all
    std::atomic<int> answered{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            httplib::Client c("127.0.0.1", server.Port());
            c.set_keep_alive(true);
            c.set_tcp_nodelay(true);
            for (int n = 0; n < kEach; ++n) {
                const auto r =
                    (n + i) % 2 == 0 ? c.Get("/api/state") : c.Post("/api/key?id=0x10035");
                if (r && (r->status == 200 || r->status == 403)) {
                    ++answered;
                }
            }
        });
    }
    for (std::thread& t : clients) {
        t.join();
    }
    EXPECT_EQ(answered.load(), kClients * kEach);

    // The flight is still taking the page's commands after the flood.
    httplib::Client c("127.0.0.1", server.Port());
    ASSERT_EQ(c.Post("/api/key?id=69637")->status, 204);
    bool on = false;
    for (int wait = 0; wait < 500 && !on; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto vars = state.Latest().namedVars;
        for (const auto& [name, value] : vars) {
            on = on || (name == "zelvan_battery1_switch" && value == 1.0);
        }
    }
    EXPECT_TRUE(on);
    stop = true;
    const bench::RunResult result = flown.get();
    EXPECT_EQ(result.status, bench::kRunOk) << result.error;
    EXPECT_GE(result.stats.simulatedSeconds, 3.0);
    server.Stop();
}

} // namespace
