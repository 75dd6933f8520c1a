#pragma once
// The serial device on a POSIX system: terminal devices driven through
// termios. A port is opened non-blocking, locked against other openers and
// put in raw mode; reads and writes wait with poll() under the time-outs, so
// they block the caller as long as the time-outs say and no longer.

#include "serial/SerialDevice.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>

class TermiosDevice : public SerialDevice {
public:
    explicit TermiosDevice(std::filesystem::path portsFolder);
    ~TermiosDevice() override;
    TermiosDevice(const TermiosDevice&) = delete;
    TermiosDevice& operator=(const TermiosDevice&) = delete;

    // The device a port name stands for; empty for a name that can't be one
    // (not letters and digits only).
    std::filesystem::path DevicePath(const std::u16string& portName) const;

    int Open(const std::u16string& portName) override;
    bool GetCommState(int handle, DCB& dcb) override;
    bool SetCommState(int handle, const DCB& dcb) override;
    bool SetCommTimeouts(int handle, const COMMTIMEOUTS& timeouts) override;
    void Purge(int handle) override;
    std::size_t Read(int handle, char* buffer, std::size_t count) override;
    std::size_t Write(int handle, const char* bytes, std::size_t count) override;
    void Close(int handle) override;
    int LastError() const override { return lastError_; }

private:
    // Keeps errno as the last error; gives false.
    bool Failed();
    bool Failed(int errorNumber);
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    // The time-outs of an open handle; nullptr (EBADF kept) for another.
    const COMMTIMEOUTS* TimeoutsOf(int handle);
    // Waits until the handle is ready for the poll events; false once the
    // deadline has passed, or when waiting fails (its error kept).
    bool WaitReady(int handle, short events, const Deadline& deadline);
    // Waits until the driver has sent what it holds, or the deadline; the
    // bytes still held then are dropped and their count given.
    std::size_t Drain(int handle, const Deadline& deadline);

    std::filesystem::path portsFolder_;
    std::map<int, COMMTIMEOUTS> open_;  // the open handles and their time-outs
    int lastError_ = 0;
};
