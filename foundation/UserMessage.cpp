#include "UserMessage.h"

#include <atomic>

#include "SettingValues.h"

namespace {
std::atomic<MessageSink> g_sink{nullptr};
}

void SetMessageSink(MessageSink sink) { g_sink.store(sink); }

void ShowMessage(const char *text)
{
    if (MessageSink sink = g_sink.load())
        sink(text ? text : "");
    else
        PlatformShowMessage(text ? text : "");
}

void DebugMessage(const char *text)
{
    if (g_bDebugMsg)
        ShowMessage(text);
}
