#pragma once

#include <deque>

#include "framework/platform.h"

// The next of the answers a test scripted for the questions a command asks; No once they run out.
inline MessageAnswer NextAnswer(std::deque<MessageAnswer>& answers, MessageButtons buttons) {
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (answers.empty())
        return MessageAnswer::No;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}
