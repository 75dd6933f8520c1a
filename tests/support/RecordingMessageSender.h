#pragma once
// A serial link that records every text it is given, and can be told to fail
// at given calls.

#include "core/Errors.h"
#include "core/MessageSender.h"

#include <map>
#include <string>
#include <vector>

class RecordingMessageSender : public MessageSender {
public:
    std::vector<std::u16string> sent;           // every call's text, failed ones too
    std::map<int, std::u16string> failures;     // call number from 1 -> message raised

    bool sendMessage(const std::u16string& pText) override {
        sent.push_back(pText);
        if (const auto failure = failures.find(static_cast<int>(sent.size())); failure != failures.end())
            throw EInOutError(failure->second);
        return true;
    }
};

// A pause that only notes how long it would have been.
struct RecordingSleep {
    std::vector<int> pauses;
    SleepFunction Function() {
        return [this](int milliseconds) { pauses.push_back(milliseconds); };
    }
};
