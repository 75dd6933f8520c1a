#include "core/InstrumentPacket.h"

#include "core/IntegerText.h"
#include "core/TextCodec.h"

#include <exception>

namespace {

// Adds the lines of the text after the store's lines, as writing the store's
// text followed by this text would, without copying what the store holds. A
// line ends at CR LF, CR or LF; a line end at the very end adds no empty line.
// Characters of code 0 stay in their line: what was sent is recorded whole.
void AppendLines(RawTextStore& store, std::u16string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t stop = text.find_first_of(u"\r\n", start);
        const std::size_t end = stop == std::u16string_view::npos ? text.size() : stop;
        store.Add(std::u16string(text.substr(start, end - start)));
        start = end;
        if (start < text.size() && text[start] == u'\r') ++start;
        if (start < text.size() && text[start] == u'\n') ++start;
    }
}

}  // namespace

std::u16string EndPacket() { return {framing::kSTX, framing::kEOT, u'\r', u'\n'}; }

std::uint8_t PacketChecksum(std::u16string_view characters) {
    unsigned char checksum = 0;
    for (char16_t ch : characters) checksum ^= CharToCp1254(ch);
    return checksum;
}

std::u16string ChecksumField(std::uint8_t checksum) {
    return {static_cast<char16_t>(u'0' + checksum / 100), static_cast<char16_t>(u'0' + checksum / 10 % 10),
            static_cast<char16_t>(u'0' + checksum % 10)};
}

void SendPackets(RecordStore& store, MessageSender& sender, const SleepFunction& sleep,
                 std::u16string_view text) {
    using namespace framing;
    WindowServices& services = store.services;
    const std::size_t packets = (text.size() + kPayloadLength - 1) / kPayloadLength;
    std::u16string sent;
    sent.reserve(packets * kPacketLength);

    services.SetScreenCursor(ScreenCursor::crHourGlass);
    services.SetCounterVisible(true);
    std::exception_ptr failure;
    try {
        std::u16string packet;
        packet.reserve(kPacketLength);
        std::int32_t count = 0;
        for (std::size_t start = 0; start < text.size(); start += kPayloadLength) {
            const std::u16string_view piece = text.substr(start, kPayloadLength);
            packet.assign(1, kSTX);
            packet += piece;
            packet.append(kPayloadLength - piece.size(), u' ');
            packet += static_cast<char16_t>(u'0' + count % 10);
            packet += ChecksumField(PacketChecksum(std::u16string_view(packet).substr(1)));
            ++count;
            packet += {kETX, u'\r', u'\n'};
            sent += packet;
            sender.sendMessage(packet);
            sleep(kPauseAfterPacket);
            services.SetCounterCaption(u"Gönderilen Paket sayısı: " + DecimalText(count));
            services.RepaintCounter();
            services.ProcessMessages();
        }
    } catch (...) {
        failure = std::current_exception();
    }

    services.SetScreenCursor(ScreenCursor::crDefault);
    services.SetCounterVisible(false);
    const std::u16string endPacket = EndPacket();
    sender.sendMessage(endPacket);  // its own failure replaces an earlier one
    if (failure) std::rethrow_exception(failure);

    AppendLines(store.memoDummyInput, sent);
    AppendLines(store.memoDummyInput, endPacket);
}

namespace {

bool HoldsEot(std::u16string_view line) { return line.find(framing::kEOT) != std::u16string_view::npos; }

// Too short to reach the checksum field, position 131.
bool TooShortForAPacket(std::u16string_view line) { return line.size() <= 130; }

// Which lines are packets, which end the transfer, and which carry nothing and
// are left out without a word: empty lines anywhere (unless there is nothing
// else, so that line noise alone still fails), and short lines after the last
// line holding EOT (what is left of the end packet's line end, or noise after
// the transfer).
class PacketLines {
public:
    explicit PacketLines(const RawTextStore& lines) : lines_(lines) {
        bool allEmpty = true;
        for (std::int32_t i = 0; i < lines.Count(); ++i) {
            if (HoldsEot(lines.Strings(i))) lastEot_ = i;
            if (!lines.Strings(i).empty()) allEmpty = false;
        }
        leaveOutEmpty_ = !allEmpty;
        cut_ = CutLastPacket();
    }

    bool LeftOut(std::int32_t i) const {
        const std::u16string& line = lines_.Strings(i);
        return (line.empty() && leaveOutEmpty_) || (lastEot_ >= 0 && i > lastEot_ && TooShortForAPacket(line));
    }
    // The line of a packet cut short at the end of a transfer, or -1.
    std::int32_t Cut() const { return cut_; }

private:
    // The last line that should be a packet, when it is too short for its
    // checksum field and another such line comes before it. A lone short line
    // is no cut packet but no packet at all.
    std::int32_t CutLastPacket() const {
        std::int32_t last = -1;
        for (std::int32_t i = lines_.Count() - 1; i >= 0; --i) {
            if (HoldsEot(lines_.Strings(i)) || LeftOut(i)) continue;
            if (last >= 0) return TooShortForAPacket(lines_.Strings(last)) ? last : -1;
            last = i;
        }
        return -1;
    }

    const RawTextStore& lines_;
    std::int32_t lastEot_ = -1;
    bool leaveOutEmpty_ = false;
    std::int32_t cut_ = -1;
};

}  // namespace

DecodedPackets DecodePackets(const RawTextStore& lines) {
    using namespace framing;
    DecodedPackets decoded;
    std::size_t payloads = 0;  // at most one per line long enough to carry one
    for (std::int32_t i = 0; i < lines.Count(); ++i)
        if (!TooShortForAPacket(lines.Strings(i))) ++payloads;
    decoded.rawData.reserve(payloads * kPayloadLength);
    const PacketLines roles(lines);
    decoded.cutLastPacket = roles.Cut() >= 0;
    for (std::int32_t i = 0; i < lines.Count(); ++i) {
        const std::u16string_view line = lines.Strings(i);
        if (HoldsEot(line)) {
            decoded.endPacket = true;
            continue;
        }
        if (i == roles.Cut() || roles.LeftOut(i)) continue;
        const std::u16string_view field = TooShortForAPacket(line) ? std::u16string_view() : line.substr(130, 3);
        const std::int32_t received = StrToInt(field);
        // A checksum field of at least one character means the line reaches
        // position 131, so positions 2 to 130 are all there.
        const std::u16string_view covered = line.substr(1, 129);
        const std::uint8_t computed = PacketChecksum(covered);
        if (received != computed) decoded.mismatches.push_back({i + 1, received, computed});
        decoded.rawData += covered.substr(0, kPayloadLength);
    }
    return decoded;
}
