#pragma once
// The serial device as the port connection uses it: open a port by its name
// ("COM1", "LPT2", ...) for this program alone, read and apply the line
// settings, set the time-outs, purge, read, write and close. Every operation
// but Open takes the handle that Open gave. A failed operation keeps the
// system's error number, which LastError and SystemErrorText report.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// The handle of no open port.
inline constexpr int INVALID_HANDLE_VALUE = -1;

// Stop-bits and parity codes of the line settings.
inline constexpr std::uint8_t ONESTOPBIT = 0;
inline constexpr std::uint8_t ONE5STOPBITS = 1;
inline constexpr std::uint8_t TWOSTOPBITS = 2;
inline constexpr std::uint8_t NOPARITY = 0;
inline constexpr std::uint8_t ODDPARITY = 1;
inline constexpr std::uint8_t EVENPARITY = 2;

// The line settings of a port.
struct DCB {
    std::uint32_t BaudRate = 0;
    std::uint8_t ByteSize = 8;
    std::uint8_t Parity = NOPARITY;
    std::uint8_t StopBits = ONESTOPBIT;
    bool fBinary = true;  // raw bytes both ways, no character processing
};

// Time-outs in milliseconds. A read of n bytes ends at n bytes, when more than
// ReadIntervalTimeout passes between two bytes once the first has come, or
// after ReadTotalTimeoutMultiplier * n + ReadTotalTimeoutConstant. A write of
// k bytes gives up after WriteTotalTimeoutMultiplier * k +
// WriteTotalTimeoutConstant. A zero interval, or a zero total, means no such
// limit.
struct COMMTIMEOUTS {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    // Opens the port for this program alone; INVALID_HANDLE_VALUE on failure
    // (a port that another has open fails as busy).
    virtual int Open(const std::u16string& portName) = 0;
    virtual bool GetCommState(int handle, DCB& dcb) = 0;
    // Fails, changing nothing, when the port does not support a value. A
    // pseudo-terminal has no line to set: what it refuses is no failure.
    virtual bool SetCommState(int handle, const DCB& dcb) = 0;
    virtual bool SetCommTimeouts(int handle, const COMMTIMEOUTS& timeouts) = 0;
    // Drops the bytes received and not yet read.
    virtual void Purge(int handle) = 0;
    // Reads up to count bytes under the read time-outs; the bytes that came.
    virtual std::size_t Read(int handle, char* buffer, std::size_t count) = 0;
    // Writes under the write time-out; the bytes that went out.
    virtual std::size_t Write(int handle, const char* bytes, std::size_t count) = 0;
    virtual void Close(int handle) = 0;
    // True once the port's device has said that it is gone or can't be used
    // any more: hung up, unplugged, its node removed or replaced, or failing
    // with an input/output error. Only closing it and opening it anew helps.
    virtual bool Gone(int handle) const = 0;
    // Looks at a port that has been idle: a hang-up waiting on it, or its node
    // removed or replaced since the opening, means that its device has gone
    // meanwhile (unplugged and perhaps plugged in again), and Gone holds from
    // then on. True when it is gone.
    virtual bool LookAgain(int handle) = 0;

    // The system's error number of the last failure, 0 for none.
    virtual int LastError() const = 0;
    // The system's text for LastError; "0" for no error.
    std::u16string SystemErrorText() const;
};

// The serial ports of this system. A port name maps to the device that a
// symbolic link of that name in portsFolder points at; without one "COMn" is
// /dev/ttyS(n-1) and "LPTn" is /dev/lp(n-1).
std::unique_ptr<SerialDevice> MakeSystemSerialDevice(const QString& portsFolder);

// The folder of port links beside the settings file: <its folder>/ports.
QString PortsFolder(const QString& settingsFile);
