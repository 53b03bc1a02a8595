#include "RouterServer.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Pages.h"
#include "Sites.h"

namespace routerlab {

namespace {

constexpr int kKeepAliveMax = 5;
constexpr int kSliceMs = 100; // how often blocked waits look for a stop

std::string Endpoint(const sockaddr_storage& addr)
{
    char text[INET6_ADDRSTRLEN] = {};
    int port = 0;
    if (addr.ss_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(&addr);
        inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(&addr);
        inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text);
        port = ntohs(in6->sin6_port);
    }
    return std::string(text) + ":" + std::to_string(port);
}

void SplitEndpoint(const std::string& endpoint, std::string& ip, int& port)
{
    const std::size_t colon = endpoint.rfind(':');
    ip = endpoint.substr(0, colon);
    port = colon == std::string::npos ? 0 : std::atoi(endpoint.c_str() + colon + 1);
}

// Reads the status code of a response head ("HTTP/1.1 200 OK\r\n...").
int StatusOfResponse(std::string_view data)
{
    if (data.size() < 12 || data.substr(0, 5) != "HTTP/")
        return 0;
    const std::size_t space = data.find(' ');
    if (space == std::string_view::npos || space + 4 > data.size())
        return 0;
    int status = 0;
    for (std::size_t i = space + 1; i < space + 4; ++i) {
        if (data[i] < '0' || data[i] > '9')
            return 0;
        status = status * 10 + (data[i] - '0');
    }
    return status;
}

std::string_view ReasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    default:
        return "Error";
    }
}

// One client connection of the administration port. It hands httplib the
// bytes of one request at a time and keeps a copy of everything that was
// consumed, so the journal holds the request exactly as it arrived.
class Connection final : public httplib::Stream {
public:
    Connection(int fd, RouterServer& server, const std::atomic<bool>& stopping)
        : m_fd(fd), m_server(server), m_stopping(stopping)
    {
        sockaddr_storage addr{};
        socklen_t len = sizeof addr;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            m_peer = Endpoint(addr);
        len = sizeof addr;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
            m_local = Endpoint(addr);
    }

    enum class Head { Ready, Closed, TooLarge, Malformed };

    // Waits for the next request head: up to the keep-alive time for its first
    // byte, then up to the read time-out for the rest.
    Head ReadHead()
    {
        Compact();
        const ServerOptions& o = m_server.Options();
        bool first = m_in.empty();
        while (true) {
            bool bareLf = false;
            const std::size_t end = FindHeadEnd(m_in, &bareLf);
            if (end != std::string::npos) {
                m_headEnd = end;
                if (end > o.maxHead)
                    return Head::TooLarge;
                return bareLf ? Head::Malformed : Head::Ready;
            }
            if (m_in.size() > o.maxHead)
                return Head::TooLarge;
            if (!Fill(first ? o.keepAliveMs : o.readTimeoutMs)) {
                return m_in.empty() ? Head::Closed : Head::Malformed;
            }
            first = false;
        }
    }

    void BeginRequest()
    {
        m_entry = JournalEntry{};
        m_entry.timeMs = m_server.Core().NowMs();
        m_entry.client = m_peer;
        m_record.clear();
        m_committed = false;
        m_reset = false;
        m_restart = false;
        m_handled = false;
        m_requestBody.clear();
        m_rawHead = m_in.substr(0, m_headEnd);
        if (auto parsed = ParseRequestHead(m_rawHead)) {
            m_entry.method = parsed->method;
            m_entry.target = parsed->target;
            m_entry.version = parsed->version;
            m_entry.headers = std::move(parsed->headers);
            if (!m_server.Core().CompressionAllowed(TargetPath(m_entry.target)))
                HideAcceptEncoding();
        } else {
            m_entry.malformed = true;
            const std::size_t eol = m_rawHead.find_first_of("\r\n");
            m_entry.target = m_rawHead.substr(0, eol);
        }
    }

    bool HeadIsMalformed() const { return m_entry.malformed; }
    const Fields& Headers() const { return m_entry.headers; }

    // Refuses what cannot be handed on (garbage, an endless head) with 400.
    void Refuse(std::string_view why)
    {
        m_entry.malformed = true;
        const std::size_t keep = std::min(m_in.size(), m_server.Options().maxHead + 1);
        m_rawHead.assign(m_in.data(), keep);
        m_record.clear();
        m_headEnd = 0;
        m_entry.truncated = m_in.size() > keep;
        const std::string body = StatusPage(400, "Bad Request", why);
        const std::string answer =
            "HTTP/1.1 400 Bad Request\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
            "\r\nConnection: close\r\n\r\n" + body;
        Commit(400);
        SendAll(answer.data(), answer.size());
    }

    // Called by the request handler on this thread.
    void SetHandled(const std::string& body, const HttpReply& reply)
    {
        m_handled = true;
        m_requestBody = body;
        m_entry.fault = reply.fault;
        m_reset = reply.transport == HttpReply::Transport::Reset;
        m_restart = reply.restart;
    }

    // After httplib is done with the request: journal it if no answer went out.
    void EndRequest()
    {
        if (!m_committed)
            Commit(0);
    }

    bool WantsReset() const { return m_reset; }
    bool Handled() const { return m_handled; }
    bool WantsRestart() const { return m_restart; }
    const std::atomic<bool>& Stopping() const { return m_stopping; }

    // httplib::Stream
    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }

    ssize_t read(char* ptr, size_t size) override
    {
        if (m_pos >= m_in.size()) {
            Compact();
            if (!Fill(m_server.Options().readTimeoutMs))
                return -1;
        }
        const std::size_t n = std::min(size, m_in.size() - m_pos);
        std::memcpy(ptr, m_in.data() + m_pos, n);
        Keep(m_in.data() + m_pos, n);
        m_pos += n;
        return static_cast<ssize_t>(n);
    }

    ssize_t write(const char* ptr, size_t size) override
    {
        if (!m_committed) {
            const int status = StatusOfResponse(std::string_view(ptr, size));
            // An interim "100 Continue" is not the answer.
            if (status < 100 || status >= 200)
                Commit(m_reset ? 0 : status);
        }
        if (m_reset)
            return static_cast<ssize_t>(size); // the client gets no answer
        return SendAll(ptr, size) ? static_cast<ssize_t>(size) : -1;
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { SplitEndpoint(m_peer, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { SplitEndpoint(m_local, ip, port); }
    socket_t socket() const override { return m_fd; }

private:
    // An embedded router answers uncompressed whatever the client offers, so
    // httplib must not see the offer. The journal keeps the head as received.
    void HideAcceptEncoding()
    {
        std::string fed;
        std::size_t at = 0;
        while (at < m_headEnd) {
            const std::size_t eol = m_in.find("\r\n", at) + 2;
            const std::string_view line(m_in.data() + at, eol - at);
            const std::size_t colon = line.find(':');
            if (colon == std::string_view::npos || !EqualsNoCase(line.substr(0, colon), "Accept-Encoding")) {
                fed += line;
            }
            at = eol;
        }
        m_in.replace(0, m_headEnd, fed);
        m_headEnd = fed.size();
    }

    // Drops what the last request consumed.
    void Compact()
    {
        m_in.erase(0, m_pos);
        m_pos = 0;
    }

    bool Fill(int timeoutMs)
    {
        int waited = 0;
        while (true) {
            if (m_stopping)
                return false;
            pollfd p{m_fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, kSliceMs);
            if (ready > 0)
                break;
            if (ready < 0 && errno != EINTR)
                return false;
            waited += kSliceMs;
            if (waited >= timeoutMs)
                return false;
        }
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        m_in.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    void Keep(const char* data, std::size_t n)
    {
        const ServerOptions& o = m_server.Options();
        const std::size_t limit = o.maxHead + o.maxBody + 1024;
        const std::size_t room = m_record.size() < limit ? limit - m_record.size() : 0;
        m_record.append(data, std::min(n, room));
        if (n > room)
            m_entry.truncated = true;
    }

    bool SendAll(const char* data, std::size_t size)
    {
        std::size_t sent = 0;
        int waited = 0;
        while (sent < size) {
            pollfd p{m_fd, POLLOUT, 0};
            const int ready = ::poll(&p, 1, kSliceMs);
            if (ready == 0) {
                waited += kSliceMs;
                if (waited >= m_server.Options().readTimeoutMs || m_stopping)
                    return false;
                continue;
            }
            if (ready < 0 && errno == EINTR)
                continue;
            const ssize_t n = ::send(m_fd, data + sent, size - sent, MSG_NOSIGNAL);
            if (n <= 0)
                return false;
            sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    void Commit(int status)
    {
        m_committed = true;
        m_entry.status = status;
        // The head as it arrived, then whatever of the body was read.
        const std::string bodyBytes = m_record.size() > m_headEnd ? m_record.substr(m_headEnd) : std::string();
        m_entry.raw = m_rawHead + bodyBytes;
        m_entry.body = m_handled ? m_requestBody : bodyBytes;
        std::string line = m_entry.client + " " + (m_entry.malformed ? std::string("(malformed)") : m_entry.method) +
                           " " + m_entry.target + " -> " + (status ? std::to_string(status) : std::string("reset"));
        if (!m_entry.fault.empty())
            line += " [" + m_entry.fault + "]";
        m_server.Log(line);
        m_server.Core().Record(std::move(m_entry));
        m_entry = JournalEntry{};
    }

    int m_fd;
    RouterServer& m_server;
    const std::atomic<bool>& m_stopping;
    std::string m_peer;
    std::string m_local;
    std::string m_in;
    std::size_t m_pos = 0;
    std::size_t m_headEnd = 0;
    std::string m_rawHead;
    std::string m_record;
    JournalEntry m_entry;
    std::string m_requestBody;
    bool m_committed = false;
    bool m_handled = false;
    bool m_reset = false;
    bool m_restart = false;
};

thread_local Connection* t_connection = nullptr;

void SleepInSlices(int ms, const std::atomic<bool>& stopping)
{
    while (ms > 0 && !stopping) {
        const int step = std::min(ms, kSliceMs);
        std::this_thread::sleep_for(std::chrono::milliseconds(step));
        ms -= step;
    }
}

} // namespace

bool ParseEndpoint(std::string_view text, std::string& host, int& port)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    const auto value = ParseInteger(text.substr(colon + 1), 0, 65535);
    if (!value)
        return false;
    host = std::string(text.substr(0, colon));
    port = static_cast<int>(*value);
    return true;
}

bool ParseSiteSpec(std::string_view text, SiteSpec& site)
{
    std::string kind;
    const std::size_t slash = text.find('/');
    if (slash != std::string_view::npos) {
        kind = std::string(text.substr(slash + 1));
        if (kind != "http" && kind != "tcp")
            return false;
        text = text.substr(0, slash);
    }
    if (!ParseEndpoint(text, site.host, site.port))
        return false;
    site.kind = kind.empty() ? (site.port == 80 ? "http" : "tcp") : kind;
    return true;
}

// The administration port: httplib parses and answers, this class owns the
// connections so that it can record them, reset them and stop them.
class RouterServer::AdminServer final : public httplib::Server {
public:
    explicit AdminServer(RouterServer& owner) : m_owner(owner)
    {
        set_payload_max_length(owner.Options().maxBody);
        set_error_handler([](const httplib::Request&, httplib::Response& res) {
            // An oversize body is a bad request here, like any other malformed one.
            if (res.status == 413)
                res.status = 400;
            res.set_content(StatusPage(res.status, ReasonPhrase(res.status), "The request was not understood."),
                            "text/html");
        });
        auto handler = [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); };
        Get(".*", handler);
        Post(".*", handler);
        Put(".*", handler);
        Delete(".*", handler);
        Patch(".*", handler);
        Options(".*", handler);
    }

    void Halt()
    {
        m_stopping = true;
        stop();
    }

private:
    void Serve(const httplib::Request& req, httplib::Response& res)
    {
        HttpRequest request;
        request.method = req.method;
        request.target = req.target;
        request.path = TargetPath(req.target);
        request.version = req.version;
        request.body = req.body;
        request.client = req.remote_addr + ":" + std::to_string(req.remote_port);
        Connection* conn = t_connection;
        // The head as received, in order; httplib's own map is sorted by name.
        if (conn) {
            request.headers = conn->Headers();
        } else {
            for (const auto& [name, value] : req.headers)
                request.headers.emplace_back(name, value);
        }
        HttpReply reply = m_owner.Core().Handle(request);
        if (conn)
            conn->SetHandled(req.body, reply);
        if (reply.delayMs > 0)
            SleepInSlices(reply.delayMs, m_stopping);
        res.status = reply.status;
        for (const auto& [name, value] : reply.headers)
            res.headers.emplace(name, value);
        res.headers.emplace("Cache-Control", "no-cache");
        res.headers.emplace("Pragma", "no-cache");
        res.set_content(reply.body, reply.contentType);
    }

    bool process_and_close_socket(socket_t sock) override
    {
        Connection conn(sock, m_owner, m_stopping);
        for (int remaining = kKeepAliveMax; remaining > 0 && !m_stopping; --remaining) {
            const Connection::Head head = conn.ReadHead();
            if (head == Connection::Head::Closed)
                break;
            if (head != Connection::Head::Ready) {
                conn.BeginRequest();
                conn.Refuse(head == Connection::Head::TooLarge ? "The request head is too long."
                                                               : "The request is malformed.");
                break;
            }
            conn.BeginRequest();
            if (conn.HeadIsMalformed()) {
                conn.Refuse("The request is malformed.");
                break;
            }
            bool closed = false;
            t_connection = &conn;
            const bool ok = process_request(conn, remaining == 1, closed, nullptr);
            t_connection = nullptr;
            conn.EndRequest();
            if (conn.WantsReset()) {
                // Abortive close: the client sees a reset, not an answer.
                linger hard{1, 0};
                setsockopt(sock, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
                ::close(sock);
                return true;
            }
            if (conn.WantsRestart()) {
                ::shutdown(sock, SHUT_RDWR);
                ::close(sock);
                m_owner.RequestRestart();
                return true;
            }
            // A request that httplib refused may have left its body on the line:
            // nothing after it can be framed with confidence.
            if (!ok || closed || !conn.Handled())
                break;
        }
        ::shutdown(sock, SHUT_RDWR);
        ::close(sock);
        return true;
    }

    RouterServer& m_owner;
    std::atomic<bool> m_stopping{false};
};

RouterServer::RouterServer(Router& router, ServerOptions options, LogSink log)
    : m_router(router), m_options(std::move(options)), m_log(std::move(log))
{
}

RouterServer::~RouterServer()
{
    Stop();
}

void RouterServer::Log(std::string_view line) const
{
    if (!m_log)
        return;
    std::lock_guard lock(m_logMutex);
    m_log(line);
}

int RouterServer::SitePort(int index) const
{
    return m_sites ? m_sites->Port(index) : 0;
}

bool RouterServer::Start(std::string* error)
{
    if (m_started)
        return true;
    m_sites = std::make_unique<SiteListeners>(m_router, m_options.sites, [this](std::string_view line) { Log(line); });
    m_router.BootNow();
    if (!StartAdmin(error))
        return false;
    if (!StartControl(error)) {
        StopAdmin();
        return false;
    }
    if (!m_sites->Start(error)) {
        StopAdmin();
        m_control->stop();
        m_controlThread.join();
        return false;
    }
    m_quit = false;
    m_lifecycleThread = std::thread([this] { Lifecycle(); });
    m_started = true;
    return true;
}

void RouterServer::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    {
        std::lock_guard lock(m_cycleMutex);
        m_quit = true;
    }
    m_cycle.notify_all();
    if (m_lifecycleThread.joinable())
        m_lifecycleThread.join();
    StopAdmin();
    if (m_control) {
        m_control->stop();
        if (m_controlThread.joinable())
            m_controlThread.join();
    }
    if (m_sites)
        m_sites->Stop();
}

bool RouterServer::StartAdmin(std::string* error)
{
    std::lock_guard lock(m_adminMutex);
    auto admin = std::make_unique<AdminServer>(*this);
    if (m_options.port == 0) {
        const int port = admin->bind_to_any_port(m_options.host);
        if (port <= 0) {
            if (error)
                *error = "cannot listen on " + m_options.host;
            return false;
        }
        m_options.port = port;
    } else if (!admin->bind_to_port(m_options.host, m_options.port)) {
        if (error)
            *error = "cannot listen on " + m_options.host + ":" + std::to_string(m_options.port);
        return false;
    }
    AdminServer* raw = admin.get();
    m_admin = std::move(admin);
    m_adminThread = std::thread([raw] { raw->listen_after_bind(); });
    // stop() only takes effect once the server runs.
    for (int i = 0; i < 2000 && !raw->is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Log("listening on " + m_options.host + ":" + std::to_string(m_options.port));
    return true;
}

void RouterServer::StopAdmin()
{
    std::lock_guard lock(m_adminMutex);
    if (!m_admin)
        return;
    m_admin->Halt();
    if (m_adminThread.joinable())
        m_adminThread.join();
    m_admin.reset();
    Log("stopped listening on " + m_options.host + ":" + std::to_string(m_options.port));
}

bool RouterServer::StartControl(std::string* error)
{
    m_control = std::make_unique<httplib::Server>();
    httplib::Server& c = *m_control;
    auto json = [](httplib::Response& res, const std::string& text) { res.set_content(text, "application/json"); };
    c.Get("/health", [](const httplib::Request&, httplib::Response& res) { res.set_content("ok\n", "text/plain"); });
    c.Get("/state", [this, json](const httplib::Request&, httplib::Response& res) { json(res, m_router.StateJson()); });
    c.Get("/journal", [this, json](const httplib::Request& req, httplib::Response& res) {
        std::int64_t since = 0;
        if (req.has_param("since")) {
            const auto value = ParseInteger(req.get_param_value("since"), 0, std::int64_t{1} << 62);
            if (!value) {
                res.status = 400;
                res.set_content("since: expected a sequence number\n", "text/plain");
                return;
            }
            since = *value;
        }
        json(res, m_router.JournalJson(since));
    });
    c.Post("/journal/clear", [this](const httplib::Request&, httplib::Response& res) {
        m_router.ClearJournal();
        res.set_content("ok\n", "text/plain");
    });
    auto set = [this, json](const httplib::Request& req, httplib::Response& res) {
        // Settings come as a form body or as query parameters, applied in order.
        Fields fields = ParseForm(req.body);
        const std::size_t query = req.target.find('?');
        if (query != std::string::npos) {
            Fields more = ParseForm(std::string_view(req.target).substr(query + 1));
            fields.insert(fields.end(), more.begin(), more.end());
        }
        for (const auto& [key, value] : fields) {
            const std::string problem = m_router.Set(key, value);
            if (!problem.empty()) {
                res.status = 400;
                res.set_content(problem + "\n", "text/plain");
                return;
            }
        }
        json(res, m_router.StateJson());
    };
    c.Post("/set", set);
    c.Get("/set", set);
    c.Post("/restart", [this](const httplib::Request&, httplib::Response& res) {
        RequestRestart();
        res.set_content("ok\n", "text/plain");
    });
    c.Post("/boot", [this](const httplib::Request&, httplib::Response& res) {
        RequestBoot();
        res.set_content("ok\n", "text/plain");
    });
    if (m_options.controlPort == 0) {
        const int port = c.bind_to_any_port(m_options.controlHost);
        if (port <= 0) {
            if (error)
                *error = "cannot listen on " + m_options.controlHost + " for control";
            return false;
        }
        m_options.controlPort = port;
    } else if (!c.bind_to_port(m_options.controlHost, m_options.controlPort)) {
        if (error) {
            *error = "cannot listen on " + m_options.controlHost + ":" + std::to_string(m_options.controlPort) +
                     " for control";
        }
        return false;
    }
    m_controlThread = std::thread([&c] { c.listen_after_bind(); });
    for (int i = 0; i < 2000 && !c.is_running(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Log("control on " + m_options.controlHost + ":" + std::to_string(m_options.controlPort));
    return true;
}

void RouterServer::RequestRestart()
{
    m_router.BeginRestart();
    {
        std::lock_guard lock(m_cycleMutex);
        m_restartPending = true;
    }
    m_cycle.notify_all();
}

void RouterServer::RequestBoot()
{
    {
        std::lock_guard lock(m_cycleMutex);
        m_bootPending = true;
    }
    m_cycle.notify_all();
}

void RouterServer::Lifecycle()
{
    std::unique_lock lock(m_cycleMutex);
    while (!m_quit) {
        m_cycle.wait(lock, [this] { return m_quit || m_restartPending || m_bootPending; });
        if (m_quit)
            break;
        if (m_restartPending) {
            m_restartPending = false;
            m_bootPending = false;
            lock.unlock();
            StopAdmin();
            const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_router.DowntimeMs());
            lock.lock();
            m_cycle.wait_until(lock, until, [this] { return m_quit || m_bootPending || m_restartPending; });
            if (m_quit)
                break;
            if (m_restartPending)
                continue; // restarted again while down: the wait starts over
            const bool forced = m_bootPending;
            m_bootPending = false;
            lock.unlock();
            bool up = true;
            if (forced) {
                m_router.BootNow();
            } else {
                up = m_router.FinishRestart();
            }
            if (up) {
                std::string error;
                while (!StartAdmin(&error)) {
                    Log(error + "; trying again");
                    std::this_thread::sleep_for(std::chrono::milliseconds(500));
                    std::lock_guard check(m_cycleMutex);
                    if (m_quit)
                        break;
                }
            }
            lock.lock();
        } else if (m_bootPending) {
            m_bootPending = false;
            if (m_router.CurrentPhase() == Phase::Running)
                continue;
            lock.unlock();
            m_router.BootNow();
            std::string error;
            if (!StartAdmin(&error))
                Log(error);
            lock.lock();
        }
    }
}

} // namespace routerlab
