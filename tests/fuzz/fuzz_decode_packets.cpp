// Packet lines of any content: decoding either raises EConvertError or gives
// whole payloads, with mismatches only for lines it took.

#include "core/Errors.h"
#include "core/InstrumentPacket.h"
#include "core/TextCodec.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RawTextStore lines;
    lines.SetText(Cp1254ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size)));
    try {
        const DecodedPackets decoded = DecodePackets(lines);
        if (decoded.rawData.size() % framing::kPayloadLength != 0) std::abort();
        std::int32_t previous = 0;
        for (const ChecksumMismatch& mismatch : decoded.mismatches) {
            if (mismatch.line <= previous || mismatch.line > lines.Count()) std::abort();
            if (mismatch.received == mismatch.computed) std::abort();
            previous = mismatch.line;
        }
    } catch (const EConvertError&) {
    }
    return 0;
}
