#include "serial/PortConnection.h"

#include "core/Errors.h"
#include "core/IntegerText.h"
#include "core/TextCodec.h"

#include <algorithm>

int PortHandle = INVALID_HANDLE_VALUE;

void MarkPortNotOpen() { PortHandle = INVALID_HANDLE_VALUE; }

namespace {

// Write calls of one text that may move nothing before it fails.
constexpr int kMaxZeroWrites = 5;

}  // namespace

PortConnection::PortConnection(PortSettings& settings, SerialDevice& device)
    : settings_(settings), device_(device) {}

PortConnection::~PortConnection() {
    if (PortHandle == INVALID_HANDLE_VALUE) return;
    device_.Close(PortHandle);
    PortHandle = INVALID_HANDLE_VALUE;
}

void PortConnection::Fail(const std::u16string& message) const {
    throw EInOutError(message, device_.LastError());
}

void PortConnection::Connect() {
    // A device that went away since the last command (unplugged, perhaps
    // plugged in again) is opened anew at once, so that the first command
    // after it works.
    if (IsOpen() && device_.LookAgain(PortHandle)) CloseGonePort();
    if (settings_.Button1Visible()) Button1Click();
}

void PortConnection::Button1Click() {
    lost_ = false;
    if (PortHandle != INVALID_HANDLE_VALUE) {
        device_.Close(PortHandle);
        PortHandle = INVALID_HANDLE_VALUE;
    }
    settings_.ShowButton1();
    const std::u16string port = settings_.PortCombo.Text();
    const int handle = device_.Open(port);
    if (handle == INVALID_HANDLE_VALUE) Fail(u"Port " + port + u" açılamadı: " + device_.SystemErrorText());
    // A port whose configuration failed is closed again: without its
    // time-outs a read could wait for ever, without its line settings it
    // would read garbage.
    try {
        Configure(handle);
    } catch (...) {
        device_.Close(handle);
        throw;
    }
    PortHandle = handle;
    settings_.HideButton1();
}

void PortConnection::Configure(int handle) {
    DCB dcb;
    if (!device_.GetCommState(handle, dcb))
        Fail(u"Port durumu okunamadı: " + DecimalText(static_cast<std::uint32_t>(device_.LastError())));

    // A baud or byte-size text that is no integer leaves the port's own
    // value, which the selector then shows.
    if (const auto baud = TryStrToInt(settings_.BaudCombo.Text()))
        dcb.BaudRate = static_cast<std::uint32_t>(*baud);
    else
        settings_.BaudCombo.SetText(DecimalText(dcb.BaudRate));
    if (const auto size = TryStrToInt(settings_.ByteSizeCombo.Text()))
        dcb.ByteSize = static_cast<std::uint8_t>(*size);
    else
        settings_.ByteSizeCombo.SetText(DecimalText(dcb.ByteSize));
    // The item indexes are the line's codes; no selection (-1) gives 255,
    // which the device refuses.
    dcb.StopBits = static_cast<std::uint8_t>(settings_.StopBitsCombo.ItemIndex());
    dcb.Parity = static_cast<std::uint8_t>(settings_.ParityCombo.ItemIndex());
    dcb.fBinary = true;
    if (!device_.SetCommState(handle, dcb))
        Fail(u"Port için yeni ayarlar uygulanamadı: " + DecimalText(static_cast<std::uint32_t>(device_.LastError())));

    if (!device_.SetCommTimeouts(handle, kTimeouts))
        Fail(u"Timeout ayarlari uygulanamadi: " + DecimalText(static_cast<std::uint32_t>(device_.LastError())));

    device_.Purge(handle);
}

bool PortConnection::IsOpen() const { return PortHandle != INVALID_HANDLE_VALUE; }

void PortConnection::RequireOpenPort() const {
    if (!IsOpen()) throw EInOutError(u"Connect to the port first!");
}

void PortConnection::CloseGonePort() {
    device_.Close(PortHandle);
    PortHandle = INVALID_HANDLE_VALUE;
    settings_.ShowButton1();
    lost_ = true;
}

bool PortConnection::sendMessage(const std::u16string& pText) {
    if (!IsOpen() && lost_) Fail(u"Port write error!");
    RequireOpenPort();
    device_.Purge(PortHandle);
    std::size_t sent = 0;
    int zeroWrites = 0;
    while (sent < pText.size()) {
        const std::size_t count = std::min(pText.size() - sent, kTransferSize);
        for (std::size_t i = 0; i < count; ++i) writeBuffer_[i] = static_cast<char>(CharToCp1254(pText[sent + i]));
        const std::size_t written = device_.Write(PortHandle, writeBuffer_.data(), count);
        if (device_.Gone(PortHandle)) {
            CloseGonePort();
            Fail(u"Port write error!");
        }
        sent += written;
        // Counted over the whole text: a write that moves bytes does not
        // start the count again.
        if (written == 0 && ++zeroWrites > kMaxZeroWrites) Fail(u"Port write error!");
    }
    return true;
}

bool PortConnection::readMessage(std::u16string& pText) {
    RequireOpenPort();
    const std::size_t n = device_.Read(PortHandle, readBuffer_.data(), kTransferSize);
    pText.clear();
    for (std::size_t i = 0; i < n; ++i) {
        const auto byte = static_cast<unsigned char>(readBuffer_[i]);
        if (byte != 0) pText.push_back(Cp1254ToChar(byte));
    }
    if (device_.Gone(PortHandle)) CloseGonePort();
    return n > 0;
}
