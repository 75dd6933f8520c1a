#include "InstrumentSimulator.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

void SetRaw(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) Fail("tcgetattr");
    cfmakeraw(&line);
    if (::tcsetattr(fd, TCSANOW, &line) != 0) Fail("tcsetattr");
}

}  // namespace

InstrumentSimulator::InstrumentSimulator() {
    instrument_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (instrument_ < 0) Fail("posix_openpt");
    std::array<char, 128> name{};
    if (::grantpt(instrument_) != 0 || ::unlockpt(instrument_) != 0 ||
        ::ptsname_r(instrument_, name.data(), name.size()) != 0)
        Fail("pseudo-terminal");
    devicePath_ = name.data();
    terminal_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (terminal_ < 0) Fail("open " + devicePath_);
    SetRaw(terminal_);
    int wake[2];
    if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) Fail("pipe2");
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    thread_ = std::thread([this] { Run(); });
}

InstrumentSimulator::~InstrumentSimulator() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    Wake();
    thread_.join();
    for (int fd : {instrument_, terminal_, wakeRead_, wakeWrite_})
        if (fd >= 0) ::close(fd);
}

void InstrumentSimulator::Wake() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakeWrite_, &byte, 1);
}

void InstrumentSimulator::Send(std::string bytes, Pace pace) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({std::move(bytes), pace});
    }
    Wake();
}

void InstrumentSimulator::HangUpAfterSending() {
    {
        std::lock_guard lock(mutex_);
        hangUpWhenSent_ = true;
    }
    Wake();
}

void InstrumentSimulator::HangUp() {
    std::unique_lock lock(mutex_);
    hangUpNow_ = true;
    Wake();
    changed_.wait(lock, [this] { return instrument_ < 0; });
}

bool InstrumentSimulator::WaitUntilSent(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return jobs_.empty(); });
}

std::size_t InstrumentSimulator::BytesSent() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

void InstrumentSimulator::StopReading() {
    std::lock_guard lock(mutex_);  // a read under way ends first
    reading_ = false;
}

void InstrumentSimulator::ResumeReading() {
    {
        std::lock_guard lock(mutex_);
        reading_ = true;
    }
    Wake();
}

std::size_t InstrumentSimulator::FillLine() {
    // The line frees room in steps as the terminal layer moves bytes along:
    // fill until a whole round takes nothing.
    std::size_t total = 0;
    const std::string filler(4096, '#');
    for (;;) {
        std::size_t round = 0;
        for (std::size_t size : {filler.size(), std::size_t{1}}) {
            for (;;) {
                const ssize_t n = ::write(terminal_, filler.data(), size);
                if (n <= 0) break;
                round += static_cast<std::size_t>(n);
            }
        }
        total += round;
        if (round == 0) return total;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string InstrumentSimulator::Received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

bool InstrumentSimulator::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

termios InstrumentSimulator::Line() const {
    termios line{};
    ::tcgetattr(terminal_, &line);
    return line;
}

InstrumentSimulator::Clock::time_point InstrumentSimulator::DueTime(const Job& job, std::size_t index) const {
    using std::chrono::nanoseconds;
    nanoseconds offset{0};
    if (job.pace.bytesPerSecond > 0)
        offset += nanoseconds(static_cast<std::int64_t>(index) * 1'000'000'000 / job.pace.bytesPerSecond);
    if (job.pace.packetSize > 0)
        offset += job.pace.pause * static_cast<std::int64_t>(index / job.pace.packetSize);
    return jobStart_ + offset;
}

void InstrumentSimulator::CloseInstrumentEnd() {
    ::close(instrument_);
    instrument_ = -1;
    jobs_.clear();
    changed_.notify_all();
}

bool InstrumentSimulator::SendDue(Clock::time_point now, Clock::time_point& nextDue, bool& haveNextDue) {
    while (!jobs_.empty()) {
        Job& job = jobs_.front();
        if (!jobStarted_) {
            jobStart_ = now;
            jobStarted_ = true;
        }
        std::size_t due = next_;
        while (due < job.bytes.size() && DueTime(job, due) <= now) ++due;
        if (due == next_) {
            if (due < job.bytes.size()) {
                nextDue = std::max(DueTime(job, due), lastBurst_ + kBurstInterval);
                haveNextDue = true;
                return true;
            }
        } else {
            const ssize_t n = ::write(instrument_, job.bytes.data() + next_, due - next_);
            lastBurst_ = now;
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) return false;
            if (n < 0) {  // the port's end is gone: nothing more can be sent
                jobs_.clear();
                break;
            }
            next_ += static_cast<std::size_t>(n);
            sent_ += static_cast<std::size_t>(n);
            if (next_ < job.bytes.size()) continue;
        }
        jobs_.pop_front();
        next_ = 0;
        jobStarted_ = false;
    }
    changed_.notify_all();
    return true;
}

void InstrumentSimulator::ReceiveAvailable() {
    std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t n = ::read(instrument_, buffer.data(), buffer.size());
        if (n <= 0) break;
        received_.append(buffer.data(), static_cast<std::size_t>(n));
    }
    changed_.notify_all();
}

void InstrumentSimulator::Run() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
        Clock::time_point nextDue;
        bool haveNextDue = false;
        bool lineFull = false;
        if (instrument_ >= 0 && !hangUpNow_) {
            const std::size_t sentBefore = sent_;
            lineFull = !SendDue(Clock::now(), nextDue, haveNextDue);
            if (sent_ != sentBefore) changed_.notify_all();
        }
        if (instrument_ >= 0 && (hangUpNow_ || (hangUpWhenSent_ && jobs_.empty()))) CloseInstrumentEnd();

        std::array<pollfd, 2> fds{{{wakeRead_, POLLIN, 0}, {instrument_, 0, 0}}};
        if (reading_) fds[1].events |= POLLIN;
        if (lineFull) fds[1].events |= POLLOUT;
        int timeout = -1;
        if (haveNextDue)
            timeout = static_cast<int>(std::max<std::int64_t>(
                0, std::chrono::ceil<std::chrono::milliseconds>(nextDue - Clock::now()).count()));
        const nfds_t count = instrument_ >= 0 ? 2 : 1;

        lock.unlock();
        ::poll(fds.data(), count, timeout);
        std::array<char, 64> drain;
        while (::read(wakeRead_, drain.data(), drain.size()) > 0) {
        }
        lock.lock();

        if (instrument_ >= 0 && reading_ && (fds[1].revents & POLLIN)) ReceiveAvailable();
    }
}
