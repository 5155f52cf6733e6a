// Collects the messages that portable code shows to the user while it lives,
// instead of putting them on the screen.
#pragma once

#include <string>
#include <vector>

#include "UserMessage.h"

class MessageLog {
public:
    MessageLog()
    {
        Messages().clear();
        SetMessageSink(&MessageLog::Add);
    }
    ~MessageLog() { SetMessageSink(nullptr); }
    MessageLog(const MessageLog &) = delete;
    MessageLog &operator=(const MessageLog &) = delete;

    static std::vector<std::string> &Messages()
    {
        static std::vector<std::string> messages;
        return messages;
    }

private:
    static void Add(const char *text) { Messages().push_back(text); }
};
