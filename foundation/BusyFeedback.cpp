#include "BusyFeedback.h"

#include <atomic>

namespace {
// Installed by the main thread, read by whichever thread is busy.
std::atomic<const BusyFeedbackHandler *> g_handler{nullptr};
}  // namespace

void SetBusyFeedbackHandler(const BusyFeedbackHandler *handler) { g_handler.store(handler); }

void ShowWaitCursor(BOOL on)
{
    const BusyFeedbackHandler *handler = g_handler.load();
    if (handler && handler->showWaitCursor)
        handler->showWaitCursor(on);
}

void SetWaitMessage(const char *text)
{
    const BusyFeedbackHandler *handler = g_handler.load();
    if (handler && handler->setWaitMessage)
        handler->setWaitMessage(text);
}
