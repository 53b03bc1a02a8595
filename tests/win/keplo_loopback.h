// A small HTTP server on 127.0.0.1 for the library's tests and benchmark. It records the raw
// bytes of every request and answers with a scripted response (per path, or a general one),
// whose pieces it sends with a pause between them so that the client reads them separately.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cctype>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace keplotest {

inline std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class LoopbackServer {
public:
    LoopbackServer()
    {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        int length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        listen(m_listener, 16);
        m_thread = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        m_stop = true;
        m_thread.join();
        closesocket(m_listener);
        WSACleanup();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    unsigned short Port() const { return m_port; }

    static std::string Response(int status, const std::string& body, const std::string& extraHeaders = "")
    {
        return "HTTP/1.1 " + std::to_string(status) + " Status\r\nContent-Length: " + std::to_string(body.size()) +
               "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
    }
    void Respond(std::vector<std::string> pieces, DWORD pauseMs = 0)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pieces = std::move(pieces);
        m_pauseMs = pauseMs;
    }
    void RespondWith(int status, const std::string& body, const std::string& extraHeaders = "")
    {
        Respond({Response(status, body, extraHeaders)});
    }
    void RespondTo(const std::string& path, const std::string& response)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_byPath[path] = response;
    }
    // After the request: `head`, then `bodyBytes` of filler until done or the client goes.
    void Stream(const std::string& head, unsigned long long bodyBytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_streamHead = head;
        m_streamBytes = bodyBytes;
    }
    unsigned long long StreamedBytes() const { return m_streamed; }
    std::vector<std::string> Requests()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    int Connections() const { return m_connections; }

private:
    void Serve()
    {
        while (!m_stop) {
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(m_listener, &readable);
            timeval wait{0, 50 * 1000};
            if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                continue;
            const SOCKET client = accept(m_listener, nullptr, nullptr);
            if (client == INVALID_SOCKET)
                continue;
            ++m_connections;
            HandleClient(client);
            closesocket(client);
        }
    }

    void HandleClient(SOCKET client)
    {
        std::string received;
        char chunk[4096];
        std::size_t total = std::string::npos; // known once the head is complete
        while (received.size() < total) {
            const int n = recv(client, chunk, sizeof chunk, 0);
            if (n <= 0)
                break;
            received.append(chunk, static_cast<std::size_t>(n));
            const auto headEnd = received.find("\r\n\r\n");
            if (total == std::string::npos && headEnd != std::string::npos) {
                const auto at = Lower(received.substr(0, headEnd + 2)).find("\r\ncontent-length:");
                total = headEnd + 4 + (at == std::string::npos ? 0 : std::stoul(received.substr(at + 17)));
            }
        }
        if (received.empty())
            return;
        std::vector<std::string> pieces;
        DWORD pauseMs = 0;
        std::string streamHead;
        unsigned long long streamBytes = 0;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_requests.push_back(received);
            streamHead = m_streamHead;
            streamBytes = m_streamBytes;
            const auto pathStart = received.find(' ') + 1;
            const auto special = m_byPath.find(received.substr(pathStart, received.find(' ', pathStart) - pathStart));
            pieces = special != m_byPath.end() ? std::vector<std::string>{special->second} : m_pieces;
            pauseMs = m_pauseMs;
        }
        if (!streamHead.empty()) {
            send(client, streamHead.data(), static_cast<int>(streamHead.size()), 0);
            const std::string filler(64 * 1024, 'x');
            m_streamed = 0;
            for (int n = 1; n > 0 && m_streamed < streamBytes && !m_stop;) // n <= 0: the client closed
                if ((n = send(client, filler.data(), static_cast<int>(filler.size()), 0)) > 0)
                    m_streamed += static_cast<unsigned long long>(n);
            return;
        }
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0)
                Sleep(pauseMs);
            send(client, pieces[i].data(), static_cast<int>(pieces[i].size()), 0);
        }
        shutdown(client, SD_SEND);
        while (recv(client, chunk, sizeof chunk, 0) > 0) { // let the client read everything first
        }
    }

    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::string> m_pieces{Response(200, "OK")};
    DWORD m_pauseMs = 0;
    std::map<std::string, std::string> m_byPath;
    std::vector<std::string> m_requests;
    std::atomic<int> m_connections{0};
    std::string m_streamHead;
    unsigned long long m_streamBytes = 0;
    std::atomic<unsigned long long> m_streamed{0};
};

// A request as the server saw it.
struct ParsedRequest {
    std::string requestLine, body;
    std::vector<std::string> headers; // "Name: value" lines in order

    explicit ParsedRequest(const std::string& raw)
    {
        const auto headEnd = raw.find("\r\n\r\n");
        body = headEnd == std::string::npos ? std::string() : raw.substr(headEnd + 4);
        const std::string head = raw.substr(0, headEnd) + "\r\n";
        for (std::size_t start = 0, end; (end = head.find("\r\n", start)) != std::string::npos; start = end + 2)
            (requestLine.empty() ? requestLine : headers.emplace_back()) = head.substr(start, end - start);
    }

    // The values of every line with this header name (case-insensitive).
    std::vector<std::string> Values(const std::string& name) const
    {
        std::vector<std::string> values;
        for (const std::string& line : headers) {
            if (Lower(line.substr(0, name.size() + 1)) != Lower(name) + ":")
                continue;
            const auto value = line.find_first_not_of(' ', name.size() + 1);
            values.push_back(value == std::string::npos ? "" : line.substr(value));
        }
        return values;
    }
};

} // namespace keplotest
