#include "Sites.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

#include "HttpText.h"
#include "RouterServer.h"

namespace routerlab {

namespace {

constexpr int kClientLifetimeMs = 3000;
constexpr std::size_t kMaxRequest = 8192;

std::int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void SetNonBlocking(int fd)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
}

constexpr std::string_view kPage = "<html><head><title>Connection check</title></head>"
                                   "<body><p>You are connected to the Internet.</p></body></html>\n";

} // namespace

struct SiteListeners::Site {
    SiteSpec spec;
    int index = -1; // in the router's site list
    int fd = -1;
};

struct SiteListeners::Client {
    int fd = -1;
    bool http = false;
    std::int64_t deadline = 0;
    std::string request;
};

SiteListeners::SiteListeners(Router& router, std::vector<SiteSpec> sites, std::function<void(std::string_view)> log)
    : m_router(router), m_log(std::move(log))
{
    for (auto& spec : sites) {
        Site site;
        site.spec = std::move(spec);
        site.index = m_router.AddSite(SiteInfo{site.spec.host, site.spec.port, site.spec.kind});
        m_sites.push_back(std::move(site));
    }
}

SiteListeners::~SiteListeners()
{
    Stop();
}

bool SiteListeners::Open(Site& site, std::string* error)
{
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(site.spec.port));
    if (inet_pton(AF_INET, site.spec.host.c_str(), &addr.sin_addr) != 1) {
        if (error)
            *error = "site address " + site.spec.host + " is not an IPv4 address";
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (error)
            *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 16) != 0) {
        if (error) {
            *error = "site " + site.spec.host + ":" + std::to_string(site.spec.port) + ": " + std::strerror(errno);
        }
        ::close(fd);
        return false;
    }
    if (site.spec.port == 0) {
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
        site.spec.port = ntohs(addr.sin_port);
        m_router.SetSitePort(site.index, site.spec.port);
    }
    SetNonBlocking(fd);
    site.fd = fd;
    return true;
}

bool SiteListeners::Start(std::string* error)
{
    for (auto& site : m_sites) {
        if (!Open(site, error)) {
            Stop();
            return false;
        }
    }
    m_quit = false;
    m_thread = std::thread([this] { Loop(); });
    return true;
}

void SiteListeners::Stop()
{
    m_quit = true;
    if (m_thread.joinable())
        m_thread.join();
    for (auto& site : m_sites) {
        if (site.fd >= 0)
            ::close(site.fd);
        site.fd = -1;
    }
    for (auto& client : m_clients)
        ::close(client.fd);
    m_clients.clear();
}

int SiteListeners::Port(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_sites.size()))
        return 0;
    return m_sites[static_cast<std::size_t>(index)].spec.port;
}

void SiteListeners::Loop()
{
    std::vector<pollfd> fds;
    while (!m_quit) {
        // Follow the Internet: a site that must not answer has no listener, so
        // connections to it are refused at once.
        bool anyClosed = false;
        for (auto& site : m_sites) {
            const bool wanted = m_router.SiteShouldListen(site.index);
            if (wanted && site.fd < 0) {
                std::string error;
                if (Open(site, &error)) {
                    m_log("site " + site.spec.host + ":" + std::to_string(site.spec.port) + " up");
                }
            } else if (!wanted && site.fd >= 0) {
                ::close(site.fd);
                site.fd = -1;
                anyClosed = true;
                m_log("site " + site.spec.host + ":" + std::to_string(site.spec.port) + " down");
            }
        }
        if (anyClosed) {
            // The Internet went away: established connections go with it.
            for (auto& client : m_clients)
                ::close(client.fd);
            m_clients.clear();
        }

        fds.clear();
        for (const auto& site : m_sites) {
            if (site.fd >= 0)
                fds.push_back(pollfd{site.fd, POLLIN, 0});
        }
        const std::size_t listeners = fds.size();
        for (const auto& client : m_clients)
            fds.push_back(pollfd{client.fd, POLLIN, 0});
        ::poll(fds.data(), fds.size(), 100);

        std::size_t k = 0;
        for (auto& site : m_sites) {
            if (site.fd < 0)
                continue;
            const pollfd& p = fds[k++];
            if (!(p.revents & POLLIN))
                continue;
            const int fd = ::accept4(site.fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (fd < 0)
                continue;
            m_router.CountSiteConnection(site.index);
            m_clients.push_back(Client{fd, site.spec.kind == "http", NowMs() + kClientLifetimeMs, {}});
        }

        const std::int64_t now = NowMs();
        std::vector<Client> keep;
        for (std::size_t i = 0; i < m_clients.size(); ++i) {
            Client& client = m_clients[i];
            bool done = now >= client.deadline;
            const std::size_t slot = listeners + i;
            if (!done && slot < fds.size() && (fds[slot].revents & (POLLIN | POLLHUP | POLLERR))) {
                char buffer[2048];
                const ssize_t n = ::recv(client.fd, buffer, sizeof buffer, 0);
                if (n <= 0) {
                    done = true;
                } else if (client.http) {
                    client.request.append(buffer, static_cast<std::size_t>(n));
                    if (FindHeadEnd(client.request, nullptr) != std::string::npos ||
                        client.request.size() > kMaxRequest) {
                        const std::string answer = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " +
                                                   std::to_string(kPage.size()) + "\r\nConnection: close\r\n\r\n" +
                                                   std::string(kPage);
                        [[maybe_unused]] const ssize_t sent =
                            ::send(client.fd, answer.data(), answer.size(), MSG_NOSIGNAL);
                        done = true;
                    }
                }
            }
            if (done) {
                ::close(client.fd);
            } else {
                keep.push_back(std::move(client));
            }
        }
        m_clients = std::move(keep);
    }
}

} // namespace routerlab
