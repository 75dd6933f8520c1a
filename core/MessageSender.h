#pragma once
// The serial link as the packet sender sees it: one call writes a whole text
// to the open port, one byte per character, or raises EInOutError.

#include <functional>
#include <string>

class MessageSender {
public:
    virtual ~MessageSender() = default;
    virtual bool sendMessage(const std::u16string& pText) = 0;
};

// A blocking pause in milliseconds. Transfers take it as a parameter so that
// tests can run them without waiting.
using SleepFunction = std::function<void(int milliseconds)>;

// The real pause.
void Sleep(int milliseconds);
