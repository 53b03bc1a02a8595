// The substitute router's brain: authentication, the form handlers, the
// settings it keeps, its restart cycle, the Internet it simulates and the
// journal of everything it was sent. It knows nothing about sockets; the
// server shell feeds it parsed requests and carries out its replies.
// Every public member is safe to call from several threads.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HttpText.h"
#include "Settings.h"

namespace routerlab {

struct HttpRequest {
    std::string method;
    std::string target;
    std::string path; // decoded, without query
    std::string version;
    Fields headers;   // in the order received
    std::string body; // as received (chunked bodies already joined)
    std::string client;
};

struct HttpReply {
    enum class Transport { Answer, Reset };

    int status = 200;
    Fields headers;
    std::string contentType = "text/html";
    std::string body;
    Transport transport = Transport::Answer;
    int delayMs = 0;      // wait this long before answering
    bool restart = false; // go down once this answer is out
    std::string fault;    // the fault switches that shaped this reply
};

struct JournalEntry {
    std::int64_t seq = 0;
    std::int64_t timeMs = 0; // since the router started
    int boot = 0;
    std::string client;
    std::string method;
    std::string target;
    std::string version;
    Fields headers;
    std::string body;
    std::string raw; // every byte of the request as it arrived
    int status = 0;  // 0: no answer was sent (connection reset)
    bool malformed = false;
    bool truncated = false; // raw bytes beyond the journal's limit were dropped
    std::string fault;
};

std::string JournalEntryJson(const JournalEntry& entry);

enum class Phase { Running, Restarting, Halted };
std::string_view PhaseName(Phase phase);

struct SiteInfo {
    std::string address;
    int port = 0;
    std::string kind; // "http" or "tcp"
};

class Router {
public:
    struct Clocks {
        std::function<std::int64_t()> utcSeconds; // wall clock
        std::function<std::int64_t()> monotonicMs;
    };
    using LogSink = std::function<void(std::string_view)>;

    Router(); // system clocks, no log
    Router(Clocks clocks, LogSink log);
    Router(const Router&) = delete;
    Router& operator=(const Router&) = delete;

    // Settings that start-up options and the control port may change. Returns
    // an error text, or an empty string when the value was taken.
    std::string Set(std::string_view key, std::string_view value);
    static std::vector<std::string> SettingNames();

    HttpReply Handle(const HttpRequest& request);

    // Restart cycle: a restart goes down at once; FinishRestart brings the
    // router back with the saved settings in effect, unless it is told never
    // to come back.
    void BeginRestart();
    bool FinishRestart();
    void BootNow(); // comes back even from a halt
    Phase CurrentPhase() const;
    std::int64_t DowntimeMs() const;
    int BootCount() const;

    bool InternetUp() const;
    // Answers go out compressed only where fault-gzip says so.
    bool CompressionAllowed(std::string_view path) const;
    // Sites of the simulated Internet answer only while the Internet is up and
    // they are not held down one by one.
    int AddSite(SiteInfo site);
    void SetSitePort(int index, int port);
    bool SiteShouldListen(int index) const;
    void CountSiteConnection(int index);

    void Record(JournalEntry entry);
    std::vector<JournalEntry> Journal(std::int64_t sinceSeq = 0) const;
    std::string JournalJson(std::int64_t sinceSeq = 0) const;
    void ClearJournal();

    std::string StateJson() const;
    std::string Password() const;
    RouterSettings Running() const;
    RouterSettings Saved() const;
    std::string Cookie() const;
    std::int64_t NowMs() const;

private:
    struct Site {
        SiteInfo info;
        std::int64_t connections = 0;
    };

    std::string SetLocked(std::string_view key, std::string_view value);
    HttpReply Route(const HttpRequest& request);
    HttpReply HandleWan(const Fields& fields, const std::string& path);
    HttpReply HandleBigPond(const Fields& fields);
    HttpReply HandlePassword(const Fields& fields);
    HttpReply HandleTimeZone(const Fields& fields);
    HttpReply HandleWlan(const Fields& fields);
    HttpReply HandleEncryption(const Fields& fields);
    HttpReply HandleReboot();
    HttpReply StatusReply(const std::string& path);
    void BootLocked();
    bool InternetUpLocked() const;
    std::int64_t RouterUtcLocked() const;
    void Log(const std::string& line) const;

    mutable std::mutex m_mutex;
    Clocks m_clocks;
    LogSink m_log;

    std::string m_password = "6093";
    RouterSettings m_saved;
    RouterSettings m_running;
    Faults m_faults;
    Phase m_phase = Phase::Running;
    int m_boot = 0;
    std::int64_t m_startMs = 0;
    std::int64_t m_bootMs = 0;
    bool m_wanUp = false;
    std::string m_wanVerdict;
    std::string m_cookie;
    std::uint64_t m_seed = 1;

    std::string m_providerUser = "customer@isp";
    std::string m_providerPassword = "isp2024";
    std::string m_wanAddress = "203.0.113.57";
    std::int64_t m_downtimeMs = 40000;
    std::int64_t m_slowMs = 5000;
    std::int64_t m_bigPageSize = 65536;
    std::optional<std::int64_t> m_clockBase; // UTC seconds set by an option
    std::int64_t m_clockBaseMs = 0;          // monotonic time it was set at
    bool m_clockFrozen = false;
    std::vector<std::string> m_sitesDown;

    std::map<std::string, Fields> m_forms; // last fields of each form path
    std::int64_t m_requests = 0;
    std::vector<Site> m_sites;

    std::deque<JournalEntry> m_journal;
    std::int64_t m_nextSeq = 1;
};

} // namespace routerlab
