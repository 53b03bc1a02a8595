// Stand-ins for the public web sites of the Internet check. Each listens on
// its address only while the router's Internet is up; an http site answers a
// request with a small page, a tcp site merely accepts (a connection is all
// that a reachability check needs on an https port).
#pragma once

#include <atomic>
#include <functional>
#include <string_view>
#include <string>
#include <thread>
#include <vector>

#include "Router.h"

namespace routerlab {

struct SiteSpec;

class SiteListeners {
public:
    SiteListeners(Router& router, std::vector<SiteSpec> sites, std::function<void(std::string_view)> log);
    ~SiteListeners();
    SiteListeners(const SiteListeners&) = delete;
    SiteListeners& operator=(const SiteListeners&) = delete;

    // Binds every site once so that port 0 becomes a fixed port, then follows
    // the router's Internet state.
    bool Start(std::string* error);
    void Stop();
    int Port(int index) const;

private:
    struct Site;
    struct Client;

    bool Open(Site& site, std::string* error);
    void Loop();

    Router& m_router;
    std::vector<Site> m_sites;
    std::vector<Client> m_clients;
    std::function<void(std::string_view)> m_log;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

} // namespace routerlab
