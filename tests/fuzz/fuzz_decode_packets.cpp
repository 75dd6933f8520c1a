// Packet lines of any content: decoding either raises EConvertError or gives
// whole payloads, with mismatches only for lines it took; the parser then
// turns the raw data (or, when decoding refuses, the text itself) into records
// whose rows all exist in their grids.

#include "core/Errors.h"
#include "core/InstrumentPacket.h"
#include "core/RawRecordParser.h"
#include "core/TextCodec.h"

#include "NullWindowServices.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

void CheckConversion(std::u16string_view rawData) {
    NullWindowServices window;
    RecordStore store(window);
    ConvertRawData(store, rawData);
    for (GridKind kind : {GridKind::XYZ, GridKind::YDE}) {
        const std::int32_t count = store.LinesCount(kind);
        if (count < 0 || count >= store.Grid(kind).RowCount()) std::abort();
    }
    const int expected = store.LinesCountXYZ > store.LinesCountYDE ? 0 : 2;
    if (store.comboDataFormat.ItemIndex() != expected) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string text = Cp1254ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    RawTextStore lines;
    lines.SetText(text);
    try {
        const DecodedPackets decoded = DecodePackets(lines);
        if (decoded.rawData.size() % framing::kPayloadLength != 0) std::abort();
        std::int32_t previous = 0;
        for (const ChecksumMismatch& mismatch : decoded.mismatches) {
            if (mismatch.line <= previous || mismatch.line > lines.Count()) std::abort();
            if (mismatch.received == mismatch.computed) std::abort();
            previous = mismatch.line;
        }
        CheckConversion(decoded.rawData);
    } catch (const EConvertError&) {
        CheckConversion(text);
    }
    return 0;
}
