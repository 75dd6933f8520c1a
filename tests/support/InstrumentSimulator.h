#pragma once
// An instrument at the far end of a serial line, for tests: it holds the
// instrument's end of a pseudo-terminal pair and runs on its own thread. The
// port under test opens the other end (DevicePath), directly or through a
// link in the ports folder. The instrument sends byte streams at a given
// pace, records everything it receives, can stop reading so that the line
// fills up and writes stall, and can hang up in the middle of a transfer.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include <termios.h>

class InstrumentSimulator {
public:
    struct Pace {
        int bytesPerSecond = 0;              // 0: as fast as the line takes them
        std::size_t packetSize = 0;          // 0: one stream without pauses
        std::chrono::milliseconds pause{0};  // between two packets
    };

    // Throws std::runtime_error when no pseudo-terminal can be had.
    InstrumentSimulator();
    ~InstrumentSimulator();
    InstrumentSimulator(const InstrumentSimulator&) = delete;
    InstrumentSimulator& operator=(const InstrumentSimulator&) = delete;

    // The device the port under test opens.
    const std::string& DevicePath() const { return devicePath_; }

    // Queues bytes to send, after what is queued already.
    void Send(std::string bytes, Pace pace);
    void Send(std::string bytes) { Send(std::move(bytes), Pace()); }
    // Hangs up once everything queued has gone out.
    void HangUpAfterSending();
    // Hangs up now; what is still queued is not sent.
    void HangUp();
    bool WaitUntilSent(std::chrono::milliseconds timeout);
    std::size_t BytesSent() const;

    // While not reading, what the port writes stays in the line.
    void StopReading();
    void ResumeReading();
    // Fills the line toward the instrument until it takes no more (call it
    // while not reading); the filler bytes, '#', are received on resuming.
    std::size_t FillLine();

    std::string Received() const;
    bool WaitForReceived(std::size_t count, std::chrono::milliseconds timeout);

    // The line settings that the port set.
    termios Line() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Job {
        std::string bytes;
        Pace pace;
    };

    // A paced stream leaves in bursts no closer than this, as a serial
    // port's receive buffer or a USB adapter hands bytes on.
    static constexpr std::chrono::milliseconds kBurstInterval{10};

    void Run();
    void Wake();
    Clock::time_point DueTime(const Job& job, std::size_t index) const;
    // Writes what is due of the front job; false when the line takes nothing.
    bool SendDue(Clock::time_point now, Clock::time_point& nextDue, bool& haveNextDue);
    void ReceiveAvailable();
    void CloseInstrumentEnd();

    std::string devicePath_;
    int instrument_ = -1;  // the instrument's end; -1 once hung up
    // The port's end, kept open here as well: without an opener there the
    // pair reports a hang-up to the instrument.
    int terminal_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    std::size_t next_ = 0;  // the next byte of the front job
    Clock::time_point jobStart_;
    Clock::time_point lastBurst_;
    bool jobStarted_ = false;
    bool reading_ = true;
    bool hangUpWhenSent_ = false;
    bool hangUpNow_ = false;
    bool stop_ = false;
    std::string received_;
    std::size_t sent_ = 0;
    std::thread thread_;
};
