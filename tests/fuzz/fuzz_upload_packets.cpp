// Coordinate grids of any cells through the upload: the upload text is cut
// into packets and sent, the packets are recorded in the raw text store, and
// decoding those lines gives the upload text back, whatever form the values
// take in it. Every packet on the wire is whole and the end packet comes
// last. A text that holds a line end or EOT can't travel in packet lines and
// is only sent, not compared.

#include "core/Errors.h"
#include "core/InstrumentPacket.h"
#include "core/UploadText.h"

#include "FuzzInput.h"
#include "NullWindowServices.h"
#include "RecordingMessageSender.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullWindowServices window;
    RecordStore store(window);
    FillRecords(store, GridKind::XYZ, FuzzCells(data, size));
    std::u16string text;
    try {
        text = UploadText(store);
    } catch (const Exception&) {
        return 0;  // values the upload refuses
    }

    RecordingMessageSender sender;
    RecordingSleep sleep;
    SendPackets(store, sender, sleep.Function(), text);
    const std::size_t packets = (text.size() + framing::kPayloadLength - 1) / framing::kPayloadLength;
    Check(sender.sent.size() == packets + 1 && sender.sent.back() == EndPacket(), "the packets, then the end");
    for (std::size_t i = 0; i < packets; ++i) Check(sender.sent[i].size() == framing::kPacketLength, "whole packets");

    if (text.find_first_of(u"\r\n\x04") != std::u16string::npos) return 0;
    const DecodedPackets decoded = DecodePackets(store.memoDummyInput);
    Check(decoded.mismatches.empty(), "the checksums hold");
    Check(decoded.rawData == text, "the upload text comes back");
    return 0;
}
