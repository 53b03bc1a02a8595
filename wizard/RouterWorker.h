#pragma once
// The one thread that waits on the network for the wizard: router requests,
// the library's address repair, the Internet check and the adapter list.
// The window's thread starts one piece of work at a time and takes its end
// as a posted message, so the window stays live however long the network
// takes, and the router still sees one request after another, in order.
#include <windows.h>

#include <functional>
#include <memory>

class CRouterWorker {
public:
    using Work = std::function<void()>; // runs on the worker thread
    using Done = std::function<void()>; // runs on the window's thread afterwards

    CRouterWorker();
    // A worker still waiting on the network is left to finish on its own:
    // what it holds outlives this object, its result is dropped, and the
    // process's end stops it. The window's thread never waits for it.
    ~CRouterWorker();
    CRouterWorker(const CRouterWorker&) = delete;
    CRouterWorker& operator=(const CRouterWorker&) = delete;

    // The window that takes each finished piece of work: message `msg` with
    // the piece as lParam, to be handed to Finish.
    void ReportTo(HWND window, UINT msg);

    // Starts work on the worker thread; done follows on the window's thread.
    // False (nothing started) while other work is in flight.
    bool Start(Work work, Done done);
    // True from Start until the piece's done has begun.
    bool Busy() const { return m_busy; }

    // For the reporting message: ends the piece and runs its done.
    void Finish(LPARAM piece);

private:
    struct Piece;
    struct Shared;
    static void Loop(std::shared_ptr<Shared> shared);

    std::shared_ptr<Shared> m_shared;
    bool m_busy = false;
};
