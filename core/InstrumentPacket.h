#pragma once
// The instrument packet, the unit of the instrument's serial protocol in both
// directions. On the wire an instrument packet is 136 characters:
//
//   STX, 128 characters of payload, the sequence digit (packet index mod 10),
//   the three-digit checksum field, ETX, CR, LF.
//
// The checksum is the XOR of the 8-bit codes of positions 2 to 130 (payload
// and sequence digit). A transfer ends with the end packet STX EOT CR LF.
// Received packets arrive as lines of 134 characters (STX to ETX); the end
// packet as the line STX EOT.

#include "core/MessageSender.h"
#include "core/RawTextStore.h"
#include "core/RecordStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace framing {
constexpr char16_t kSTX = 2;
constexpr char16_t kETX = 3;
constexpr char16_t kEOT = 4;
constexpr std::size_t kPayloadLength = 128;
constexpr std::size_t kPacketLength = 136;
// Pause after every instrument packet, in milliseconds.
constexpr int kPauseAfterPacket = 300;
}  // namespace framing

// STX EOT CR LF.
std::u16string EndPacket();

// XOR of the Windows-1254 codes of the characters.
std::uint8_t PacketChecksum(std::u16string_view characters);

// The checksum as three decimal digits with leading zeros: "000" to "255".
std::u16string ChecksumField(std::uint8_t checksum);

// Cuts the text into instrument packets of 128 characters (the last one
// filled with blanks), sends each with one sendMessage call and a pause after
// it, updating the counter label, and always ends with the end packet. Only
// when every send went through are the packet lines and the end packet's line
// added to the raw text store. A failed send ends the packets; the end packet
// is still attempted, and its own failure is the error passed on.
void SendPackets(RecordStore& store, MessageSender& sender, const SleepFunction& sleep,
                 std::u16string_view text);

// A packet line whose checksum field disagrees with its content.
struct ChecksumMismatch {
    std::int32_t line;      // from 1
    std::int32_t received;  // the value of the checksum field
    std::uint8_t computed;  // the checksum of positions 2 to 130

    friend bool operator==(const ChecksumMismatch&, const ChecksumMismatch&) = default;
};

struct DecodedPackets {
    // The payloads of the packet lines, 128 characters each, joined in order.
    std::u16string rawData;
    // The lines that were taken although their checksum did not match.
    std::vector<ChecksumMismatch> mismatches;
    // A line holds EOT: the end packet came.
    bool endPacket = false;
    // The last packet line was cut short and left out.
    bool cutLastPacket = false;
};

// Joins the payloads of the packet lines into the raw data. Lines holding EOT
// anywhere are skipped. Every other line's checksum field (positions 131 to
// 133, as far as the line reaches) must be an integer by the integer text
// rule, or EConvertError is raised and nothing is returned. Left out, and so
// no error, are the lines that carry nothing: empty lines (unless every line
// is empty), and lines too short for the checksum field after the last line
// holding EOT. Of the lines that are left, a transfer cut in the middle of its
// last packet is left out too, and said so: when the last line without EOT is
// too short to hold its checksum field and other such lines come before it.
DecodedPackets DecodePackets(const RawTextStore& lines);
