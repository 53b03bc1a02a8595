// tarvo-router: the substitute router. See routerlab/README.md.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>
#include <string_view>

#include "RouterServer.h"

namespace {

const char kUsage[] = "usage: tarvo-router [options]\n"
                      "  --listen ADDR:PORT             administration port (default 192.168.2.1:80)\n"
                      "  --control ADDR:PORT            control port (default 127.0.0.1:8080)\n"
                      "  --site ADDR:PORT[/http|/tcp]   a stand-in test site; repeat for more\n"
                      "  --max-body BYTES               largest request body taken (default 65536)\n"
                      "  --log FILE                     append the log to FILE instead of standard error\n"
                      "  --SETTING VALUE                any router setting (also --SETTING=VALUE):\n";

FILE* g_logFile = stderr;

void WriteLog(std::string_view line)
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const int ms =
        static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm tm{};
    gmtime_r(&seconds, &tm);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &tm);
    std::fprintf(g_logFile, "%s.%03dZ %.*s\n", stamp, ms, static_cast<int>(line.size()), line.data());
    std::fflush(g_logFile);
}

void PrintUsage(FILE* out)
{
    std::fputs(kUsage, out);
    std::string line = "     ";
    for (const auto& name : routerlab::Router::SettingNames()) {
        if (line.size() + name.size() > 76) {
            std::fprintf(out, "%s\n", line.c_str());
            line = "     ";
        }
        line += " " + name;
    }
    std::fprintf(out, "%s\n", line.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    std::mutex logMutex; // the core and the server both log
    auto log = [&logMutex](std::string_view line) {
        std::lock_guard lock(logMutex);
        WriteLog(line);
    };
    routerlab::Router router(routerlab::Router::Clocks{[] {
                                                           return static_cast<std::int64_t>(
                                                               std::chrono::duration_cast<std::chrono::seconds>(
                                                                   std::chrono::system_clock::now().time_since_epoch())
                                                                   .count());
                                                       },
                                                       [] {
                                                           return static_cast<std::int64_t>(
                                                               std::chrono::duration_cast<std::chrono::milliseconds>(
                                                                   std::chrono::steady_clock::now().time_since_epoch())
                                                                   .count());
                                                       }},
                             log);
    routerlab::ServerOptions options;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (arg.rfind("--", 0) != 0) {
            std::fprintf(stderr, "tarvo-router: unexpected argument '%s'\n", arg.c_str());
            PrintUsage(stderr);
            return 2;
        }
        std::string key = arg.substr(2);
        std::string value;
        if (const std::size_t eq = key.find('='); eq != std::string::npos) {
            value = key.substr(eq + 1);
            key.resize(eq);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            std::fprintf(stderr, "tarvo-router: --%s needs a value\n", key.c_str());
            return 2;
        }
        bool ok = true;
        if (key == "listen") {
            ok = routerlab::ParseEndpoint(value, options.host, options.port);
        } else if (key == "control") {
            ok = routerlab::ParseEndpoint(value, options.controlHost, options.controlPort);
        } else if (key == "site") {
            routerlab::SiteSpec site;
            ok = routerlab::ParseSiteSpec(value, site);
            if (ok)
                options.sites.push_back(site);
        } else if (key == "max-body") {
            const auto bytes = routerlab::ParseInteger(value, 1, 64 * 1024 * 1024);
            ok = bytes.has_value();
            if (ok)
                options.maxBody = static_cast<std::size_t>(*bytes);
        } else if (key == "log") {
            FILE* file = std::fopen(value.c_str(), "a");
            if (!file) {
                std::fprintf(stderr, "tarvo-router: cannot open %s: %s\n", value.c_str(), std::strerror(errno));
                return 2;
            }
            g_logFile = file;
        } else {
            const std::string problem = router.Set(key, value);
            if (!problem.empty()) {
                std::fprintf(stderr, "tarvo-router: %s\n", problem.c_str());
                return 2;
            }
            continue;
        }
        if (!ok) {
            std::fprintf(stderr, "tarvo-router: bad value for --%s: '%s'\n", key.c_str(), value.c_str());
            return 2;
        }
    }

    // Signals are taken by this thread only; every other thread inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    routerlab::RouterServer server(router, options, log);
    std::string error;
    if (!server.Start(&error)) {
        log("cannot start: " + error);
        return 1;
    }
    int received = 0;
    sigwait(&stopSignals, &received);
    log(std::string("stopping on signal ") + std::to_string(received));
    server.Stop();
    return 0;
}
