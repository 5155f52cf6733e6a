// Collects the messages that portable code shows to the user while it lives,
// instead of putting them on the screen; QuestionLog does the same for
// questions.
#pragma once

#include <string>
#include <utility>
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

// Answers the OK/Cancel questions that portable code asks while it lives:
// records each question and gives it the next of the scripted answers, then
// Cancel once they run out.
class QuestionLog {
public:
    explicit QuestionLog(std::vector<bool> answers = {})
    {
        Questions().clear();
        Answers() = std::move(answers);
        SetQuestionSink(&QuestionLog::Ask);
    }
    ~QuestionLog() { SetQuestionSink(nullptr); }
    QuestionLog(const QuestionLog &) = delete;
    QuestionLog &operator=(const QuestionLog &) = delete;

    static std::vector<std::string> &Questions()
    {
        static std::vector<std::string> questions;
        return questions;
    }

private:
    static std::vector<bool> &Answers()
    {
        static std::vector<bool> answers;
        return answers;
    }
    static bool Ask(const char *text)
    {
        const size_t asked = Questions().size();
        Questions().push_back(text);
        return asked < Answers().size() && Answers()[asked];
    }
};
