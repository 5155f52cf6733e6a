#include "UserMessage.h"

#include <atomic>

#include "SettingValues.h"

namespace {
std::atomic<MessageSink> g_sink{nullptr};
std::atomic<QuestionSink> g_questionSink{nullptr};
}

void SetMessageSink(MessageSink sink) { g_sink.store(sink); }

void SetQuestionSink(QuestionSink sink) { g_questionSink.store(sink); }

void ShowMessage(const char *text)
{
    if (MessageSink sink = g_sink.load())
        sink(text ? text : "");
    else
        PlatformShowMessage(text ? text : "");
}

bool AskOkCancel(const char *text)
{
    if (QuestionSink sink = g_questionSink.load())
        return sink(text ? text : "");
    return PlatformAskOkCancel(text ? text : "");
}

void DebugMessage(const char *text)
{
    if (g_bDebugMsg)
        ShowMessage(text);
}
