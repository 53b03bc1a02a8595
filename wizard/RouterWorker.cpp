#include "RouterWorker.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

struct CRouterWorker::Piece {
    Work work;
    Done done;
};

struct CRouterWorker::Shared {
    std::mutex lock;
    std::condition_variable wake;
    std::unique_ptr<Piece> next;
    bool running = false; // a piece is between its start and its report
    bool stop = false;
    HWND window = nullptr;
    UINT msg = 0;
    std::thread thread;
};

CRouterWorker::CRouterWorker() : m_shared(std::make_shared<Shared>())
{
    m_shared->thread = std::thread(&CRouterWorker::Loop, m_shared);
}

CRouterWorker::~CRouterWorker()
{
    bool running = false;
    {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->stop = true;
        m_shared->window = nullptr; // a late result goes nowhere
        running = m_shared->running;
    }
    m_shared->wake.notify_one();
    if (running)
        m_shared->thread.detach();
    else
        m_shared->thread.join();
}

void CRouterWorker::ReportTo(HWND window, UINT msg)
{
    std::lock_guard<std::mutex> guard(m_shared->lock);
    m_shared->window = window;
    m_shared->msg = msg;
}

bool CRouterWorker::Start(Work work, Done done)
{
    if (m_busy)
        return false;
    {
        std::lock_guard<std::mutex> guard(m_shared->lock);
        m_shared->next = std::make_unique<Piece>(Piece{std::move(work), std::move(done)});
        m_shared->running = true;
    }
    m_busy = true;
    m_shared->wake.notify_one();
    return true;
}

void CRouterWorker::Finish(LPARAM piece)
{
    std::unique_ptr<Piece> finished(reinterpret_cast<Piece*>(piece));
    if (!finished)
        return;
    m_busy = false;
    if (finished->done)
        finished->done();
}

void CRouterWorker::Loop(std::shared_ptr<Shared> shared)
{
    for (;;) {
        std::unique_ptr<Piece> piece;
        {
            std::unique_lock<std::mutex> guard(shared->lock);
            shared->wake.wait(guard, [&] { return shared->stop || shared->next; });
            if (!shared->next)
                return; // stopped while idle
            piece = std::move(shared->next);
        }
        if (piece->work)
            piece->work();
        std::lock_guard<std::mutex> guard(shared->lock);
        shared->running = false;
        if (shared->window && ::PostMessageW(shared->window, shared->msg, 0, reinterpret_cast<LPARAM>(piece.get())))
            piece.release(); // the window's thread owns it now
        if (shared->stop)
            return;
    }
}
