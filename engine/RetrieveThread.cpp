#include "RetrieveThread.h"

#include <thread>

#include "EngineEvent.h"
#include "FatalError.h"
#include "Retrieve.h"
#include "SearchSignals.h"
#include "SharedSection.h"

std::atomic<int> g_nRequestId{0};
char g_szRequestWord[264] = "";
std::atomic<int> g_nPauseCount{0};
std::atomic<BOOL> g_bQuitting{FALSE};
std::atomic<BOOL> g_bAutoCompletePending{FALSE};

namespace {
AutoResetEvent *g_pRequestEvent = nullptr;
AutoResetEvent *g_pQuitEvent = nullptr;
AutoResetEvent *g_pPauseEvent = nullptr;
AutoResetEvent *g_pResumeEvent = nullptr;
AutoResetEvent *g_pAckEvent = nullptr;
std::thread *g_pRetrieveThread = nullptr;
RetrieveReporter g_reporter = {nullptr, nullptr};
unsigned g_nServedGeneration = 0;  // the request generation the thread last ran to its end

// The pause handshake, on the retrieving thread.
void ServePause()
{
    g_nPauseCount = 1;
    g_bSearchPausePending = false;
    g_pAckEvent->Set();
    g_pResumeEvent->Wait(-1);
    g_nPauseCount = 0;
    g_pAckEvent->Set();
}

void ThreadLoop(int priority)
{
    SetCurrentThreadPriority(priority);
    AutoResetEvent *waits[] = {g_pRequestEvent, g_pPauseEvent, g_pQuitEvent};
    for (;;) {
        const int which = AutoResetEvent::WaitAny(waits, 3, -1);
        if (which == 1) {
            ServePause();
            continue;
        }
        if (which == 2)
            return;
        // Requests that arrived while the last one ran were already served by
        // its rerun; run only when something new is there.
        while (g_nSearchGeneration.load() != g_nServedGeneration) {
            unsigned generation = 0;
            const int result = RunOneRequest(&generation);
            if (result == -2)
                return;
            if (result == -1) {
                g_pRequestEvent->Wait(0);  // its signal is this rerun
                continue;
            }
            g_nServedGeneration = generation;
        }
    }
}
}  // namespace

std::mutex &RequestLock()
{
    static std::mutex lock;
    return lock;
}

std::mutex &EngineGuard()
{
    static std::mutex guard;
    return guard;
}

bool IsRetrieveThreadRunning() { return g_pRetrieveThread != nullptr; }

void StartRetrieveThread(const RetrieveReporter &reporter, int priority)
{
    if (g_pRetrieveThread)
        return;
    g_reporter = reporter;
    g_pRequestEvent = new AutoResetEvent;
    g_pQuitEvent = new AutoResetEvent;
    g_pPauseEvent = new AutoResetEvent;
    g_pResumeEvent = new AutoResetEvent;
    g_pAckEvent = new AutoResetEvent;
    g_bSearchQuit = false;
    g_bSearchPausePending = false;
    g_nPauseCount = 0;
    g_nServedGeneration = g_nSearchGeneration.load();
    g_pRetrieveThread = new std::thread(ThreadLoop, priority);
}

void StopRetrieveThread()
{
    if (!g_pRetrieveThread)
        return;
    g_bSearchQuit = true;
    g_pQuitEvent->Set();
    if (g_nPauseCount > 0)
        g_pResumeEvent->Set();  // a paused thread sees the quit after its resume
    g_pRetrieveThread->join();
    delete g_pRetrieveThread;
    g_pRetrieveThread = nullptr;
    for (AutoResetEvent **event : {&g_pRequestEvent, &g_pQuitEvent, &g_pPauseEvent, &g_pResumeEvent, &g_pAckEvent}) {
        delete *event;
        *event = nullptr;
    }
    g_bSearchQuit = false;
    g_nPauseCount = 0;
    g_reporter = {nullptr, nullptr};
}

void SubmitRequest(const char *text)
{
    {
        // Not the engine guard: a running search holds that, and must see the
        // new generation to give way within one record.
        std::lock_guard<std::mutex> hold(RequestLock());
        ++g_nRequestId;
        const CString word(text);
        SetSharedString(g_szRequestWord, 258, word.Right(257));
        ++g_nSearchGeneration;
    }
    if (g_pRequestEvent)
        g_pRequestEvent->Set();
}

BOOL PauseRetrieveThread(BOOL pause)
{
    if (!g_pRetrieveThread)
        return TRUE;
    if (pause) {
        if (g_nPauseCount != 0) {
            ++g_nPauseCount;
            return TRUE;
        }
        g_bSearchPausePending = true;
        g_pPauseEvent->Set();
        if (!g_pAckEvent->WaitPumping(60000))
            FatalError("Unable to pause retrieving thread!");
        return TRUE;
    }
    if (g_nPauseCount > 1) {
        --g_nPauseCount;
        return TRUE;
    }
    if (g_nPauseCount == 0)
        return TRUE;  // not paused: nothing to resume
    g_pResumeEvent->Set();
    if (!g_pAckEvent->WaitPumping(60000))
        FatalError("Unable to resume retrieving thread!");
    return TRUE;
}

void RequestPromptAgain()
{
    if (g_reporter.requestPromptAgain)
        g_reporter.requestPromptAgain();
}

void ReportToMainWindow(int id, int count)
{
    if (g_reporter.reportResults)
        g_reporter.reportResults(id, count);
}

// A pause seen by a search is served where the search stopped.
void ServePauseFromSearch()
{
    if (g_pPauseEvent)
        g_pPauseEvent->Wait(-1);
    ServePause();
}
