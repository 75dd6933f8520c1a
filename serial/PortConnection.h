#pragma once
// The program's one serial connection: opens and configures the port chosen
// in the port settings, and moves text over it, one byte per character in
// Windows-1254. Failures raise EInOutError with the message the user sees.

#include "core/MessageSender.h"
#include "serial/PortSettings.h"
#include "serial/SerialDevice.h"

#include <array>
#include <cstddef>
#include <string>

// The handle of the open port, INVALID_HANDLE_VALUE while none is open. One
// for the whole program; only an opening sets it to a port.
extern int PortHandle;

// The port settings window's creation: no port is open.
void MarkPortNotOpen();

class PortConnection : public MessageSender {
public:
    // Bytes one read asks for, and the most one write call is given.
    static constexpr std::size_t kTransferSize = 300;
    // A read waits up to 50 ms between bytes and 2 ms a byte plus 50 ms in
    // all; a write 10 ms a byte plus 50 ms.
    static constexpr COMMTIMEOUTS kTimeouts{50, 2, 50, 10, 50};

    PortConnection(PortSettings& settings, SerialDevice& device);
    // Closes the port that is open.
    ~PortConnection() override;
    PortConnection(const PortConnection&) = delete;
    PortConnection& operator=(const PortConnection&) = delete;

    // Opens and configures the port while the Connect button is visible, that
    // is before the first opening and after a change of the port selection,
    // and when the device of the open port has gone since it was last used;
    // does nothing otherwise.
    void Connect();
    // The Connect button: (re)opens the selected port and configures it from
    // the selectors. On any failure no port is open afterwards and the button
    // is visible, so the next Connect tries again.
    void Button1Click();
    // Writes the whole text, in pieces of at most kTransferSize characters.
    // Received bytes not yet read are dropped first. "Port write error!" at
    // the sixth write call of the text that moves nothing, and at once when
    // the device is gone.
    bool sendMessage(const std::u16string& pText) override;
    // One read of at most kTransferSize bytes; pText receives them as
    // characters, NUL bytes left out. True when any byte came.
    bool readMessage(std::u16string& pText);

    // False before the first opening, after a failed one, and once the device
    // has gone: a read or write that finds the device gone (unplugged, hung
    // up, failing) closes the port and shows the Connect button, so that the
    // next Connect opens the device anew.
    bool IsOpen() const;

    // The last system error as text.
    std::u16string SystemErrorText() const { return device_.SystemErrorText(); }

private:
    // Steps after the opening: line settings, time-outs, purge.
    void Configure(int handle);
    void RequireOpenPort() const;
    // Closes a port whose device is gone.
    void CloseGonePort();
    [[noreturn]] void Fail(const std::u16string& message) const;

    PortSettings& settings_;
    SerialDevice& device_;
    std::array<char, kTransferSize> writeBuffer_{};
    std::array<char, kTransferSize> readBuffer_{};
    // The port was closed because its device went away: a write then fails
    // as a write, until the next opening.
    bool lost_ = false;
};
