// The retrieving thread: it answers completion requests in the background,
// reports its results to the main window, and can be paused by operations
// that change the libraries wholesale.
#pragma once

#include <atomic>
#include <mutex>

#include "CString.h"
#include "wintypes.h"

extern std::atomic<int> g_nRequestId;     // bumped by every request and every hide of the prompt
extern char g_szRequestWord[264];         // text before the caret of the current request
extern std::atomic<int> g_nPauseCount;    // nesting depth of the pause
extern std::atomic<BOOL> g_bQuitting;     // set at shut-down: no empty report any more
extern std::atomic<BOOL> g_bAutoCompletePending;  // the main window waits to complete automatically

// Guards the request id and text, so that the thread always takes an id
// with its own text. Held only for the copy, never during a search.
std::mutex &RequestLock();

// Serialises the retrieving thread's searches with the main thread's changes
// of the cache, the libraries and the candidate lists. The retrieving thread
// holds it for each search; the word cache's changing operations take it
// themselves; every other main-thread change of a library table, its letter
// buckets or the candidate lists takes it around the change. Not recursive,
// and never held across PauseRetrieveThread.
std::mutex &EngineGuard();

// Where the thread's results go. reportResults runs on the retrieving thread
// with g_nResultKind set for the list it reports (0 words, 1 shorthands);
// requestPromptAgain asks the main window to search again.
struct RetrieveReporter {
    void (*reportResults)(int id, int count);
    void (*requestPromptAgain)();
};

// Starts the thread with the given priority (the "RetrieveThreadPriority"
// setting); StopRetrieveThread signals quit and waits for it to end.
void StartRetrieveThread(const RetrieveReporter &reporter, int priority);
void StopRetrieveThread();
bool IsRetrieveThreadRunning();

// A new request for the text before the caret: bumps the request id, keeps
// the last 257 characters and wakes the thread (a running search stops
// within one record).
void SubmitRequest(const char *text);

// Nested pause (TRUE) or resume (FALSE) with acknowledgement by the thread;
// only the outermost pause and its resume reach it. Ends the program when the
// thread does not answer within 60 seconds. Returns at once while no thread
// runs.
BOOL PauseRetrieveThread(BOOL pause);

// The requesting side of the reporter, for the Toggle Prompt Mode action.
void RequestPromptAgain();

// Sets the calling thread's scheduling priority (Windows priorities; ignored
// where there are none).
void SetCurrentThreadPriority(int priority);

// For the request code on the retrieving thread: hands one list to the
// reporter, and serves a pause that a search ran into.
void ReportToMainWindow(int id, int count);
void ServePauseFromSearch();
