#include "SearchSignals.h"

std::atomic<unsigned> g_nSearchGeneration{0};
std::atomic<bool> g_bSearchQuit{false};
std::atomic<bool> g_bSearchPausePending{false};

namespace {
thread_local bool t_searching = false;
thread_local unsigned t_generation = 0;
}  // namespace

SearchScope::SearchScope() : m_outer(!t_searching)
{
    if (m_outer) {
        t_searching = true;
        t_generation = g_nSearchGeneration.load(std::memory_order_acquire);
    }
}

SearchScope::~SearchScope()
{
    if (m_outer)
        t_searching = false;
}

unsigned SearchScope::Generation() const { return t_generation; }

SearchPoll::SearchPoll() : m_active(t_searching), m_generation(t_generation) {}

int PollSearchSignals() { return SearchPoll()(); }
