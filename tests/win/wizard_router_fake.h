#pragma once
// A stand-in for the router, the PC's adapters and the Internet: it answers
// from a script, checks the administrator password as the router does and
// records every call, so that the router operations and the pages run
// in-process without sending anything.
#include "RouterOps.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace routertest {

struct Exchange {
    std::wstring method; // "OPEN", "GET", "POST", "CHECK"
    std::wstring path;   // the router address for OPEN, the URL for CHECK
    std::wstring referrer;
    std::wstring body;
    std::wstring password; // the credentials the call went out with
};

struct Answer {
    int result = 0; // a library failure instead of an exchange
    unsigned status = 200;
    std::wstring text;
};

// The value of a field of a form body (the pages send letters and digits).
inline std::wstring FieldOf(const std::wstring& body, const std::wstring& name)
{
    const std::wstring key = name + L"=";
    for (size_t start = 0; start <= body.size();) {
        const size_t end = std::min(body.find(L'&', start), body.size());
        if (body.compare(start, key.size(), key) == 0)
            return body.substr(start + key.size(), end - start - key.size());
        start = end + 1;
    }
    return L"<absent>";
}

// The device status page with the wireless name cell.
inline std::wstring StatusPage(const std::wstring& cell)
{
    return L"<html><script>document.write(\"<tr><td class=table1>Name</td>\");\n"
           L"document.write(\"<td class=table2>&nbsp;" +
           cell + L"</td></tr>\");</script></html>";
}

class FakeRouterLink final : public CRouterLink {
public:
    // The adapter list; listable false makes the query fail.
    std::vector<AdapterFacts> adapters{{kAdapterTypeEthernet, "192.168.2.1", true}};
    bool listable = true;
    int openResult = 0;
    // Answers in order; when they run out, the one fixed for the path; else 200 with an empty page.
    std::deque<Answer> answers;
    std::map<std::wstring, Answer> byPath;
    // When set, any other credentials get 401, and the password form changes it.
    std::wstring password;
    bool site1Up = true;
    bool site2Up = true;
    // Runs at each Internet check, before it answers.
    std::function<void()> onCheck;

    std::vector<Exchange> calls;
    int adapterQueries = 0;

    int Open(const std::wstring& routerIP, const std::wstring& pw) override
    {
        calls.push_back({L"OPEN", routerIP, L"", L"", pw});
        m_credential = pw;
        return openResult;
    }

    int Get(const std::wstring& path, unsigned& status, wchar_t* buffer, int bufferChars) override
    {
        calls.push_back({L"GET", path, L"", L"", m_credential});
        return Respond(path, L"", status, buffer, bufferChars);
    }

    int Post(const std::wstring& path, const std::wstring& referrer, const std::wstring& body, unsigned& status,
             wchar_t* buffer, int bufferChars) override
    {
        calls.push_back({L"POST", path, referrer, body, m_credential});
        return Respond(path, body, status, buffer, bufferChars);
    }

    bool ListAdapters(std::vector<AdapterFacts>& out) override
    {
        ++adapterQueries;
        if (listable)
            out = adapters;
        return listable;
    }

    bool InternetReachable(const std::wstring& url) override
    {
        calls.push_back({L"CHECK", url, L"", L"", L""});
        if (onCheck)
            onCheck();
        return url == kInternetCheckSite1 ? site1Up : url == kInternetCheckSite2 ? site2Up : false;
    }

    std::vector<Exchange> Calls(const std::wstring& method) const
    {
        std::vector<Exchange> found;
        for (const Exchange& call : calls)
            if (call.method == method)
                found.push_back(call);
        return found;
    }

    // The methods and paths in order, e.g. "OPEN 192.168.2.1, POST /goform/formReboot".
    std::wstring Trace() const
    {
        std::wstring trace;
        for (const Exchange& call : calls)
            trace += (trace.empty() ? L"" : L", ") + call.method + L" " + call.path;
        return trace;
    }

private:
    int Respond(const std::wstring& path, const std::wstring& body, unsigned& status, wchar_t* buffer, int bufferChars)
    {
        Answer answer;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        } else if (const auto fixed = byPath.find(path); fixed != byPath.end()) {
            answer = fixed->second;
        }
        if (answer.result != 0)
            return answer.result;
        if (!password.empty() && m_credential != password)
            answer.status = 401;
        // As the library does: a text that does not fit leaves the buffer alone.
        if (answer.text.size() + 1 > static_cast<size_t>(bufferChars))
            return 8;
        status = answer.status;
        answer.text.copy(buffer, answer.text.size());
        buffer[answer.text.size()] = L'\0';
        if (!password.empty() && status >= 200 && status < 400 && path == L"/goform/formPasswordSetup" &&
            FieldOf(body, L"oldpass") == password)
            password = FieldOf(body, L"newpass");
        return 0;
    }

    std::wstring m_credential;
};

} // namespace routertest
