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

#include <sys/types.h>

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
    bool Gone(int handle) const override;
    bool LookAgain(int handle) override;
    int LastError() const override { return lastError_; }

private:
    struct OpenPort {
        COMMTIMEOUTS timeouts;
        std::filesystem::path path;  // the name it was opened by
        dev_t device = 0;            // the device it was when opened
        bool pseudoTerminal = false;
        bool gone = false;
    };

    // Keeps errno as the last error; gives false.
    bool Failed();
    bool Failed(int errorNumber);
    using Deadline = std::optional<std::chrono::steady_clock::time_point>;

    // An open handle's state; nullptr (EBADF kept) for another.
    OpenPort* PortOf(int handle);
    // The same, for a read or write: nullptr (ENODEV kept) once it is gone.
    OpenPort* UsablePort(int handle);
    // Notes that the device is gone; gives false.
    bool MarkGone(OpenPort& port);
    // Keeps the error of a failed read or write, and notes whether it means
    // that the device is gone.
    void FailedTransfer(OpenPort& port);
    // After a read or write that moved nothing in its time: a device whose
    // node has gone or now stands for another device is gone too.
    void CheckNode(OpenPort& port);
    // Waits until the handle is ready for the poll events; false once the
    // deadline has passed, or when waiting fails (its error kept). A hang-up
    // or an error of the device counts as ready: the next call tells.
    bool WaitReady(OpenPort& port, int handle, short events, const Deadline& deadline);
    // Waits until the driver has sent what it holds, or the deadline; the
    // bytes still held then are dropped and their count given.
    std::size_t Drain(int handle, const Deadline& deadline);

    std::filesystem::path portsFolder_;
    std::map<int, OpenPort> open_;
    int lastError_ = 0;
};
