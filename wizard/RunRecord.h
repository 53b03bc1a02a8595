#pragma once
// The record of one run of the wizard: its log file, for the person and for
// whoever helps them, and the facts of its router work, from which the
// trouble pages say what went wrong.
//
// The log is plain UTF-8 text at %LOCALAPPDATA%\Tarvo\Tarvo.log: one line per
// step, with the time and the page shown (the router requests with their
// HTTP status or error code, the repair steps of the PC's addressing, the
// pages shown). Passwords, keys and the account password never reach it:
// what is logged is paths, statuses and codes, never a form's body. The last
// four runs are kept (Tarvo.log, then Tarvo.1.log to Tarvo.3.log), each held
// under 1 MB. Both of the wizard's threads write to it, a whole line at a time.
#include "RouterOps.h"
#include "Trouble.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class CRunRecord {
public:
    static constexpr unsigned kMaxBytes = 1024 * 1024;
    static constexpr int kKeptRuns = 4;
    static constexpr wchar_t kFileName[] = L"Tarvo.log";

    CRunRecord() = default;
    ~CRunRecord();
    CRunRecord(const CRunRecord&) = delete;
    CRunRecord& operator=(const CRunRecord&) = delete;

    // Starts this run's log in folder (made if missing); the logs of earlier
    // runs move one place down and the oldest goes. False when no log can be
    // written there: the wizard runs on without one.
    bool Open(const std::wstring& folder);
    const std::wstring& Path() const { return m_path; }

    // One line, stamped with the time and the page shown.
    void Write(const std::wstring& text);
    void PageShown(int page);

    RunFacts Facts() const;
    void UpdateFacts(const std::function<void(RunFacts&)>& change);

private:
    void WriteLocked(const std::string& bytes);

    mutable std::mutex m_lock;
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::wstring m_path;
    unsigned m_written = 0;
    bool m_full = false;
    std::atomic<int> m_page{0};
    RunFacts m_facts;
};

// The folder of the run logs: %LOCALAPPDATA%\Tarvo\, empty when the system
// names no such folder.
std::wstring RunLogFolder();

// A router link that records what goes through it, in the log and in the
// facts, and passes everything on to the link it wraps.
class CRecordedLink final : public CRouterLink {
public:
    explicit CRecordedLink(std::shared_ptr<CRunRecord> record) : m_record(std::move(record)) {}

    void SetInner(CRouterLink* inner) { m_inner = inner; }
    CRunRecord& Record() const { return *m_record; }

    int Open(const std::wstring& routerIP, const std::wstring& password) override;
    int Get(const std::wstring& path, unsigned& status, wchar_t* buffer, int bufferChars) override;
    int Post(const std::wstring& path, const std::wstring& referrer, const std::wstring& body, unsigned& status,
             wchar_t* buffer, int bufferChars) override;
    bool ListAdapters(std::vector<AdapterFacts>& adapters) override;
    bool InternetReachable(const std::wstring& url) override;
    std::vector<std::wstring> RepairSteps() override { return Inner().RepairSteps(); }

private:
    CRouterLink& Inner() const { return m_inner ? *m_inner : SystemRouterLink(); }
    void Answered(const wchar_t* method, const std::wstring& path, int result, unsigned status, DWORD since);

    std::shared_ptr<CRunRecord> m_record;
    CRouterLink* m_inner = nullptr;
};
