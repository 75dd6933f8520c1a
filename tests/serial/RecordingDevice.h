#pragma once
// The real serial device with a log of the calls made to it, and on demand a
// failing step, short writes, or reads answered from a script.

#include "core/TextCodec.h"
#include "serial/SerialDevice.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <optional>
#include <string>
#include <vector>

class RecordingDevice : public SerialDevice {
public:
    explicit RecordingDevice(SerialDevice& real) : real_(real) {}

    // "open COM1", "get", "set", "timeouts", "purge", "read", "write <count>",
    // "close".
    std::vector<std::string> calls;
    // "get", "set" or "timeouts": that step fails with EIO.
    std::string failing;
    // The next write calls move at most these many bytes each; 0 moves none.
    std::deque<std::size_t> writeLimits;
    // The next reads, answered at once instead of by the line: the bytes each
    // brings (empty for a silent read), or nullopt where the device goes away.
    std::deque<std::optional<std::string>> reads;
    // The time-outs last set.
    COMMTIMEOUTS timeouts;

    int Open(const std::u16string& portName) override {
        Log("open " + Utf16ToUtf8(portName));
        return real_.Open(portName);
    }
    bool GetCommState(int handle, DCB& dcb) override {
        return Log("get") && real_.GetCommState(handle, dcb);
    }
    bool SetCommState(int handle, const DCB& dcb) override {
        return Log("set") && real_.SetCommState(handle, dcb);
    }
    bool SetCommTimeouts(int handle, const COMMTIMEOUTS& t) override {
        timeouts = t;
        return Log("timeouts") && real_.SetCommTimeouts(handle, t);
    }
    void Purge(int handle) override {
        Log("purge");
        real_.Purge(handle);
    }
    std::size_t Read(int handle, char* buffer, std::size_t count) override {
        Log("read");
        if (reads.empty()) return real_.Read(handle, buffer, count);
        const std::optional<std::string> bytes = reads.front();
        reads.pop_front();
        if (!bytes) {
            gone_ = true;
            return 0;
        }
        if (bytes->size() > count) reads.push_front(bytes->substr(count));
        const std::size_t n = std::min(bytes->size(), count);
        std::copy_n(bytes->data(), n, buffer);
        return n;
    }
    std::size_t Write(int handle, const char* bytes, std::size_t count) override {
        Log("write " + std::to_string(count));
        if (!writeLimits.empty()) {
            count = std::min(count, writeLimits.front());
            writeLimits.pop_front();
            if (count == 0) return 0;
        }
        return real_.Write(handle, bytes, count);
    }
    void Close(int handle) override {
        Log("close");
        gone_ = false;
        real_.Close(handle);
    }
    bool Gone(int handle) const override { return gone_ || real_.Gone(handle); }
    bool LookAgain(int handle) override { return gone_ || real_.LookAgain(handle); }
    int LastError() const override { return injected_ != 0 ? injected_ : real_.LastError(); }

private:
    // Records the call; false when it is the step to fail.
    bool Log(const std::string& call) {
        calls.push_back(call);
        injected_ = call == failing ? EIO : 0;
        return injected_ == 0;
    }

    SerialDevice& real_;
    int injected_ = 0;
    bool gone_ = false;
};
