#pragma once
// Texts of the instrument's protocol for the window tests: packets framed as
// the instrument sends them, records in the instrument's layout, and grids
// taken down for comparison.

#include "core/StringGrid.h"
#include "core/TextCodec.h"

#include <string>
#include <string_view>
#include <vector>

namespace packet_text {

// Raw data of three observation records (a station and two points) and one
// coordinate record.
inline constexpr std::u16string_view kObservations =
    u"_'S1_)1.600__+P7_ ?+00012345m0901234+1234567d+0012345t,1.500__+P8_ <0901234 0450000 ,1.550_";
inline constexpr std::u16string_view kCoordinate = u"_+P1        _ x-000089500_ y+001234567_ z+000100000_";

// The bytes on the wire, one per character.
inline std::string Bytes(std::u16string_view text) { return Utf16ToCp1254(text); }

inline std::u16string Decimal(long value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

// One framed packet around a payload of up to 128 characters: STX, the
// payload filled with blanks, the sequence digit, the XOR checksum of both as
// three digits, ETX, CR, LF.
inline std::u16string Packet(std::u16string_view payload, int index) {
    std::u16string packet(1, u'\x02');
    packet += payload;
    packet.append(128 - payload.size(), u' ');
    packet += static_cast<char16_t>(u'0' + index % 10);
    unsigned checksum = 0;
    for (const char byte : Bytes(std::u16string_view(packet).substr(1))) checksum ^= static_cast<unsigned char>(byte);
    std::u16string field = Decimal(checksum + 1000).substr(1);
    return packet + field + u"\x03\r\n";
}

// The text cut into framed packets of 128 characters.
inline std::u16string Packets(std::u16string_view text) {
    std::u16string packets;
    for (std::size_t start = 0, index = 0; start < text.size(); start += 128, ++index)
        packets += Packet(text.substr(start, 128), static_cast<int>(index));
    return packets;
}

inline const std::u16string kEndPacket = u"\x02\x04\r\n";

// count coordinate records "P1" to "Pcount", all with the same values.
inline std::u16string CoordinateRecords(int count) {
    std::u16string records;
    for (int i = 1; i <= count; ++i) {
        std::u16string name = u"P" + Decimal(i);
        name.resize(10, u' ');
        records += u"_+" + name + u"_ x-000089500_ y+001234567_ z+000100000_";
    }
    return records;
}

// Every cell of a grid's rows, with its row count, for comparing two grids.
inline std::vector<std::u16string> Snapshot(const StringGrid& grid) {
    std::vector<std::u16string> cells{Decimal(grid.RowCount())};
    for (std::int32_t row = 0; row < grid.RowCount(); ++row)
        for (std::int32_t col = 0; col < grid.ColCount(); ++col) cells.push_back(grid.Cell(col, row));
    return cells;
}

inline std::vector<std::u16string> Row(const StringGrid& grid, std::int32_t row) {
    std::vector<std::u16string> cells;
    for (std::int32_t col = 0; col < grid.ColCount(); ++col) cells.push_back(grid.Cell(col, row));
    return cells;
}

}  // namespace packet_text
