// The network side of the substitute router: the administration port (a
// cpp-httplib server whose connections are recorded byte for byte), the
// restart cycle that closes and reopens that port, the control port that
// tests and tools/lab use, and the stand-ins for the Internet test sites.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Router.h"

namespace httplib {
class Server;
}

namespace routerlab {

struct SiteSpec {
    std::string host;
    int port = 0;
    std::string kind; // "http": answers a request; "tcp": only accepts
};

// "ADDRESS:PORT" with an optional "/http" or "/tcp"; port 80 defaults to http.
bool ParseSiteSpec(std::string_view text, SiteSpec& site);
// "ADDRESS:PORT".
bool ParseEndpoint(std::string_view text, std::string& host, int& port);

struct ServerOptions {
    std::string host = "192.168.2.1";
    int port = 80;
    std::string controlHost = "127.0.0.1";
    int controlPort = 8080;
    std::vector<SiteSpec> sites;
    std::size_t maxHead = 16 * 1024;
    std::size_t maxBody = 64 * 1024;
    int readTimeoutMs = 5000;
    int keepAliveMs = 5000;
};

class SiteListeners;

class RouterServer {
public:
    using LogSink = std::function<void(std::string_view)>;

    RouterServer(Router& router, ServerOptions options, LogSink log);
    ~RouterServer();
    RouterServer(const RouterServer&) = delete;
    RouterServer& operator=(const RouterServer&) = delete;

    // Binds every port (port 0 picks a free one), boots the router and starts
    // serving. False with a message when a port cannot be had.
    bool Start(std::string* error);
    void Stop();

    int Port() const { return m_options.port; }
    int ControlPort() const { return m_options.controlPort; }
    int SitePort(int index) const;

    // What the control port's /restart and /boot do.
    void RequestRestart();
    void RequestBoot();

    // Called by connections (any thread).
    void Log(std::string_view line) const;
    Router& Core() { return m_router; }
    const ServerOptions& Options() const { return m_options; }

private:
    class AdminServer;

    bool StartAdmin(std::string* error);
    void StopAdmin();
    bool StartControl(std::string* error);
    void Lifecycle();

    Router& m_router;
    ServerOptions m_options;
    LogSink m_log;
    mutable std::mutex m_logMutex;

    std::mutex m_adminMutex;
    std::unique_ptr<AdminServer> m_admin;
    std::thread m_adminThread;

    std::unique_ptr<httplib::Server> m_control;
    std::thread m_controlThread;

    std::unique_ptr<SiteListeners> m_sites;

    std::mutex m_cycleMutex;
    std::condition_variable m_cycle;
    bool m_restartPending = false;
    bool m_bootPending = false;
    bool m_quit = false;
    std::thread m_lifecycleThread;
    bool m_started = false;
};

} // namespace routerlab
