// What a running search checks between two library records: a newer request,
// the quit of the retrieving thread, or a pause. The thread's own loop waits
// on its events; a search only compares these words, so the check costs next
// to nothing per record (a kernel wait would cost tens of microseconds under
// some systems, seconds per keystroke over a large library).
#pragma once

#include <atomic>

enum {
    SEARCH_NEW_REQUEST = -1,  // a newer request arrived: start over
    SEARCH_QUIT = -2,         // the thread is to end
    SEARCH_PAUSE = -3,        // the thread is to pause
};

extern std::atomic<unsigned> g_nSearchGeneration;  // bumped by every request
extern std::atomic<bool> g_bSearchQuit;
extern std::atomic<bool> g_bSearchPausePending;

// Marks the calling thread as searching for the current request while it
// lives. Only such a search is cut short: a letter-bucket rebuild on the main
// thread walks the same records and must run to its end.
class SearchScope {
public:
    SearchScope();
    ~SearchScope();
    SearchScope(const SearchScope &) = delete;
    SearchScope &operator=(const SearchScope &) = delete;
    // The request generation this search answers.
    unsigned Generation() const;

private:
    bool m_outer;
};

// 0 to go on, else one of the codes above. Always 0 outside a SearchScope.
int PollSearchSignals();

// The same check for a walk over many records: it finds the calling
// thread's search once, then each call only reads three words (a
// thread-local lookup per record costs more than the rest of the check on
// some systems).
class SearchPoll {
public:
    SearchPoll();
    int operator()() const
    {
        if (!m_active)
            return 0;
        if (g_bSearchQuit.load(std::memory_order_acquire))
            return SEARCH_QUIT;
        if (g_bSearchPausePending.load(std::memory_order_acquire))
            return SEARCH_PAUSE;
        if (g_nSearchGeneration.load(std::memory_order_acquire) != m_generation)
            return SEARCH_NEW_REQUEST;
        return 0;
    }

private:
    bool m_active;
    unsigned m_generation;
};
