#include "serial/TermiosDevice.h"

#include "core/Errors.h"
#include "core/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::array<std::pair<std::uint32_t, speed_t>, 22> kSpeeds = {{
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600},
}};

std::uint32_t BaudOfSpeed(speed_t speed) {
    for (const auto& [baud, code] : kSpeeds)
        if (code == speed) return baud;
    return 0;
}

bool SpeedOfBaud(std::uint32_t baud, speed_t& speed) {
    for (const auto& [rate, code] : kSpeeds)
        if (rate == baud) {
            speed = code;
            return true;
        }
    return false;
}

bool SizeFlag(std::uint8_t byteSize, tcflag_t& flag) {
    switch (byteSize) {
    case 5: flag = CS5; return true;
    case 6: flag = CS6; return true;
    case 7: flag = CS7; return true;
    case 8: flag = CS8; return true;
    default: return false;
    }
}

std::uint8_t ByteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5: return 5;
    case CS6: return 6;
    case CS7: return 7;
    default: return 8;
    }
}

// Bytes pass unchanged both ways: no echo, no line editing, no signals, no
// translation of CR and LF, no software flow control. The character format,
// speed and hardware flow control stay as they are; the modem lines are
// ignored, so that a cable without carrier works. With a minimum of one byte
// a read on the non-blocking handle says "try again" when nothing has come,
// and end of file only when the far end has hung up.
void MakeRaw(termios& line) {
    const tcflag_t cflag = line.c_cflag;
    cfmakeraw(&line);
    line.c_cflag = cflag | CLOCAL | CREAD;
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
}

Clock::duration Total(std::uint32_t multiplier, std::uint32_t constant, std::size_t count) {
    return milliseconds(static_cast<std::int64_t>(multiplier) * static_cast<std::int64_t>(count) + constant);
}

// Pseudo-terminals' far ends: the system's own (majors 136 to 143) and
// the old numbered ones (major 3).
bool IsPseudoTerminal(dev_t device) {
    const unsigned kind = major(device);
    return kind == 3 || (kind >= 136 && kind <= 143);
}

// "COM3" with prefix "COM" gives 3; 0 when the name is not prefix + number.
int NumberAfter(const std::string& name, const std::string& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return 0;
    int number = 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, error] = std::from_chars(first, last, number);
    return (error == std::errc() && end == last && *first != '0') ? number : 0;
}

}  // namespace

std::u16string SerialDevice::SystemErrorText() const {
    const int code = LastError();
    return code == 0 ? u"0" : SystemErrorMessage(code);
}

std::unique_ptr<SerialDevice> MakeSystemSerialDevice(const QString& portsFolder) {
    return std::make_unique<TermiosDevice>(QFile::encodeName(portsFolder).toStdString());
}

QString PortsFolder(const QString& settingsFile) {
    return QFileInfo(settingsFile).dir().filePath(QStringLiteral("ports"));
}

TermiosDevice::TermiosDevice(std::filesystem::path portsFolder) : portsFolder_(std::move(portsFolder)) {}

TermiosDevice::~TermiosDevice() {
    for (const auto& entry : open_) ::close(entry.first);
}

bool TermiosDevice::Failed() { return Failed(errno); }

bool TermiosDevice::Failed(int errorNumber) {
    lastError_ = errorNumber;
    return false;
}

std::filesystem::path TermiosDevice::DevicePath(const std::u16string& portName) const {
    const bool plain = !portName.empty() && std::all_of(portName.begin(), portName.end(), [](char16_t c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    });
    if (!plain) return {};
    const std::string name = Utf16ToUtf8(portName);
    const std::filesystem::path link = portsFolder_ / name;
    std::error_code error;
    if (std::filesystem::symlink_status(link, error).type() != std::filesystem::file_type::not_found) return link;
    if (const int n = NumberAfter(name, "COM"); n > 0) return "/dev/ttyS" + std::to_string(n - 1);
    if (const int n = NumberAfter(name, "LPT"); n > 0) return "/dev/lp" + std::to_string(n - 1);
    return link;  // missing: opening it says so
}

int TermiosDevice::Open(const std::u16string& portName) {
    const std::filesystem::path path = DevicePath(portName);
    if (path.empty()) {
        Failed(ENOENT);
        return INVALID_HANDLE_VALUE;
    }
    const int handle = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        Failed();
        return INVALID_HANDLE_VALUE;
    }
    // The lock keeps out every other opener that locks, this program's own
    // included; a port someone holds is busy.
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(handle);
        Failed(error);
        return INVALID_HANDLE_VALUE;
    }
    // Exclusive mode keeps out openers that take no lock (the superuser
    // excepted). A device that is no terminal has no such mode, nor the raw
    // mode below: reading its line settings reports that.
    ::ioctl(handle, TIOCEXCL);
    termios line{};
    if (::tcgetattr(handle, &line) == 0) {
        MakeRaw(line);
        ::tcsetattr(handle, TCSANOW, &line);
    }
    OpenPort port{COMMTIMEOUTS{}, path};
    struct stat status {};
    if (::fstat(handle, &status) == 0 && S_ISCHR(status.st_mode)) {
        port.device = status.st_rdev;
        port.pseudoTerminal = IsPseudoTerminal(status.st_rdev);
    }
    open_[handle] = std::move(port);
    return handle;
}

TermiosDevice::OpenPort* TermiosDevice::PortOf(int handle) {
    const auto it = open_.find(handle);
    if (it != open_.end()) return &it->second;
    Failed(EBADF);
    return nullptr;
}

TermiosDevice::OpenPort* TermiosDevice::UsablePort(int handle) {
    OpenPort* port = PortOf(handle);
    if (port && port->gone) {
        MarkGone(*port);
        return nullptr;
    }
    return port;
}

bool TermiosDevice::MarkGone(OpenPort& port) {
    port.gone = true;
    return Failed(ENODEV);
}

bool TermiosDevice::Gone(int handle) const {
    const auto it = open_.find(handle);
    return it != open_.end() && it->second.gone;
}

bool TermiosDevice::LookAgain(int handle) {
    OpenPort* port = PortOf(handle);
    if (!port) return false;
    if (port->gone) return true;
    // Asked for nothing but input, poll still reports a hang-up or an error
    // of the device; bytes waiting say nothing either way.
    pollfd ready{handle, POLLIN, 0};
    if (::poll(&ready, 1, 0) > 0 && (ready.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) MarkGone(*port);
    else CheckNode(*port);
    return port->gone;
}

void TermiosDevice::FailedTransfer(OpenPort& port) {
    const int error = errno;
    Failed(error);
    if (error == EIO || error == ENXIO || error == ENODEV || error == EPIPE) port.gone = true;
}

void TermiosDevice::CheckNode(OpenPort& port) {
    struct stat status {};
    if (::stat(port.path.c_str(), &status) == 0) {
        if (S_ISCHR(status.st_mode) && status.st_rdev == port.device) return;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        return;  // can't be looked at, which says nothing about the device
    }
    MarkGone(port);
}

bool TermiosDevice::GetCommState(int handle, DCB& dcb) {
    if (!PortOf(handle)) return false;
    termios line{};
    if (::tcgetattr(handle, &line) != 0) return Failed();
    dcb.BaudRate = BaudOfSpeed(cfgetospeed(&line));
    dcb.ByteSize = ByteSizeOf(line.c_cflag);
    dcb.Parity = (line.c_cflag & PARENB) ? ((line.c_cflag & PARODD) ? ODDPARITY : EVENPARITY) : NOPARITY;
    dcb.StopBits = (line.c_cflag & CSTOPB) ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = true;
    return true;
}

bool TermiosDevice::SetCommState(int handle, const DCB& dcb) {
    const OpenPort* port = PortOf(handle);
    if (!port) return false;
    termios line{};
    if (::tcgetattr(handle, &line) != 0) return Failed();
    speed_t speed = B0;
    tcflag_t size = CS8;
    const bool supported = SpeedOfBaud(dcb.BaudRate, speed) && SizeFlag(dcb.ByteSize, size) &&
                           dcb.Parity <= EVENPARITY && (dcb.StopBits == ONESTOPBIT || dcb.StopBits == TWOSTOPBITS) &&
                           dcb.fBinary;
    if (!supported) return Failed(EINVAL);
    MakeRaw(line);
    cfsetispeed(&line, speed);
    cfsetospeed(&line, speed);
    line.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
    line.c_cflag |= size;
    if (dcb.Parity != NOPARITY) line.c_cflag |= PARENB;
    if (dcb.Parity == ODDPARITY) line.c_cflag |= PARODD;
    if (dcb.StopBits == TWOSTOPBITS) line.c_cflag |= CSTOPB;
    // A pseudo-terminal has no wire: it keeps 8 bits without parity whatever
    // is asked, and from its second opening on it refuses any other size or
    // parity outright. Its refusals are no failure of the line.
    if (::tcsetattr(handle, TCSANOW, &line) != 0 && !port->pseudoTerminal) return Failed();
    return true;
}

bool TermiosDevice::SetCommTimeouts(int handle, const COMMTIMEOUTS& timeouts) {
    OpenPort* port = PortOf(handle);
    if (!port) return false;
    port->timeouts = timeouts;
    return true;
}

void TermiosDevice::Purge(int handle) {
    if (!PortOf(handle)) return;
    // Only the input is dropped. A write returns when its bytes have left the
    // driver (or drops what is left itself), so no output of ours is pending;
    // on a pseudo-terminal, dropping output would take away bytes that have
    // already reached the far end but are not read by it yet.
    if (::tcflush(handle, TCIFLUSH) != 0) Failed();
}

bool TermiosDevice::WaitReady(OpenPort& port, int handle, short events, const Deadline& deadline) {
    for (;;) {
        int timeout = -1;
        if (deadline) {
            const Clock::duration left = *deadline - Clock::now();
            if (left <= Clock::duration::zero()) return false;
            timeout = static_cast<int>(std::chrono::ceil<milliseconds>(left).count());
        }
        pollfd ready{handle, events, 0};
        const int result = ::poll(&ready, 1, timeout);
        if (result > 0) {
            if (ready.revents & events) return true;  // the next call tells what is left
            // Hung up or failing, with nothing left to read or room to write.
            return MarkGone(port);
        }
        if (result < 0 && errno != EINTR) return Failed();
    }
}

std::size_t TermiosDevice::Read(int handle, char* buffer, std::size_t count) {
    OpenPort* port = UsablePort(handle);
    if (!port) return 0;
    const COMMTIMEOUTS* timeouts = &port->timeouts;
    Deadline totalEnd;
    const Clock::duration total = Total(timeouts->ReadTotalTimeoutMultiplier, timeouts->ReadTotalTimeoutConstant, count);
    if (total > Clock::duration::zero()) totalEnd = Clock::now() + total;
    const milliseconds interval(timeouts->ReadIntervalTimeout);
    Deadline end = totalEnd;
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ::read(handle, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            if (interval > milliseconds::zero()) {
                const Clock::time_point intervalEnd = Clock::now() + interval;
                end = totalEnd ? std::min(*totalEnd, intervalEnd) : intervalEnd;
            }
            continue;
        }
        if (n == 0) {  // end of file: the device has hung up
            MarkGone(*port);
            break;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) {
            FailedTransfer(*port);
            break;
        }
        if (!WaitReady(*port, handle, POLLIN, end)) break;
    }
    if (got == 0 && !port->gone) CheckNode(*port);
    return got;
}

std::size_t TermiosDevice::Write(int handle, const char* bytes, std::size_t count) {
    OpenPort* port = UsablePort(handle);
    if (!port) return 0;
    const COMMTIMEOUTS* timeouts = &port->timeouts;
    Deadline end;
    const Clock::duration total = Total(timeouts->WriteTotalTimeoutMultiplier, timeouts->WriteTotalTimeoutConstant, count);
    if (total > Clock::duration::zero()) end = Clock::now() + total;
    std::size_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(handle, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            FailedTransfer(*port);
            return written;
        }
        if (!WaitReady(*port, handle, POLLOUT, end)) break;
    }
    if (written == 0 && !port->gone) CheckNode(*port);
    return written - std::min(written, Drain(handle, end));
}

std::size_t TermiosDevice::Drain(int handle, const Deadline& deadline) {
    for (;;) {
        int queued = 0;
        if (::ioctl(handle, TIOCOUTQ, &queued) != 0 || queued <= 0) return 0;
        const Clock::time_point now = Clock::now();
        if (deadline && now >= *deadline) {
            ::tcflush(handle, TCOFLUSH);
            return static_cast<std::size_t>(queued);
        }
        // Sleep about as long as the line needs for the queued bytes, ten
        // bits a byte, and look again.
        termios line{};
        std::uint32_t baud = ::tcgetattr(handle, &line) == 0 ? BaudOfSpeed(cfgetospeed(&line)) : 0;
        if (baud == 0) baud = 9600;
        Clock::duration pause = milliseconds(static_cast<std::int64_t>(queued) * 10000 / baud + 1);
        if (deadline) pause = std::min(pause, *deadline - now);
        std::this_thread::sleep_for(pause);
    }
}

void TermiosDevice::Close(int handle) {
    if (open_.erase(handle) == 0) return;
    ::close(handle);
}
