#include "core/Errors.h"
#include "core/InstrumentPacket.h"

#include "FakeWindowServices.h"
#include "RecordingMessageSender.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::u16string>;
using Calls = std::vector<std::string>;

const std::u16string kSTX(1, u'\x02');
const std::u16string kETX(1, u'\x03');
const std::u16string kEndLine = kSTX + u'\x04';

std::u16string Blanks(std::size_t count) { return std::u16string(count, u' '); }

// A packet line as the raw text store holds it: STX to ETX.
std::u16string PacketLine(const std::u16string& payload, char16_t digit, const std::u16string& field) {
    return kSTX + payload + digit + field + kETX;
}

Texts Lines(const RawTextStore& store) {
    Texts lines;
    for (std::int32_t i = 0; i < store.Count(); ++i) lines.push_back(store.Strings(i));
    return lines;
}

RawTextStore StoreOf(const Texts& lines) {
    RawTextStore store;
    for (const auto& line : lines) store.Add(line);
    return store;
}

// The message of the EConvertError that decoding the lines raises.
std::u16string DecodeError(const Texts& lines) {
    try {
        DecodePackets(StoreOf(lines));
    } catch (const EConvertError& error) {
        return error.Message();
    }
    return u"(no error)";
}

struct Upload {
    FakeWindowServices window;
    RecordStore store{window};
    RecordingMessageSender sender;
    RecordingSleep sleep;

    void Send(std::u16string_view text) { SendPackets(store, sender, sleep.Function(), text); }
};

}  // namespace

TEST(InstrumentPacket, ChecksumFieldHasThreeDigits) {
    EXPECT_EQ(ChecksumField(9), u"009");
    EXPECT_EQ(ChecksumField(99), u"099");
    EXPECT_EQ(ChecksumField(100), u"100");
    EXPECT_EQ(ChecksumField(255), u"255");
    // Characters count by their Windows-1254 byte: "ş" is 0xFE.
    EXPECT_EQ(PacketChecksum(u"ş"), 0xFE);
}

TEST(SendPackets, OnePacketItsPauseCounterAndEndPacket) {
    Upload upload;
    upload.store.memoDummyInput.Add(u"header");
    upload.Send(u"abc" + Blanks(125));

    const std::u16string packet = PacketLine(u"abc" + Blanks(125), u'0', u"112");
    EXPECT_EQ(upload.sender.sent, (Texts{packet + u"\r\n", kEndLine + u"\r\n"}));
    EXPECT_EQ(upload.sleep.pauses, (std::vector<int>{300}));
    EXPECT_EQ(upload.window.calls, (Calls{"cursor -11", "counter visible", "caption Gönderilen Paket sayısı: 1",
                                          "repaint", "messages", "cursor 0", "counter hidden"}));
    EXPECT_EQ(Lines(upload.store.memoDummyInput), (Texts{u"header", packet, kEndLine}));
}

TEST(SendPackets, PiecesOf128AndSequenceDigits) {
    Upload twelve;
    std::u16string text;
    for (int i = 0; i < 12; ++i) text += std::u16string(128, static_cast<char16_t>(u'A' + i));
    twelve.Send(text);
    ASSERT_EQ(twelve.sender.sent.size(), 13u);
    EXPECT_EQ(twelve.sender.sent[10][129], u'0');
    EXPECT_EQ(twelve.sender.sent[11][129], u'1');
    EXPECT_EQ(twelve.sender.sent[11].substr(1, 128), std::u16string(128, u'L'));
    EXPECT_EQ(twelve.sleep.pauses.size(), 12u);

    Upload exact, oneOver;
    exact.Send(std::u16string(256, u'x'));
    EXPECT_EQ(exact.sender.sent.size(), 3u);
    oneOver.Send(std::u16string(128, u'x') + u'y');
    ASSERT_EQ(oneOver.sender.sent.size(), 3u);
    EXPECT_EQ(oneOver.sender.sent[1].substr(1, 128), u'y' + Blanks(127));

    Upload empty;
    empty.Send(u"");
    EXPECT_EQ(empty.sender.sent, (Texts{kEndLine + u"\r\n"}));
    EXPECT_EQ(empty.window.calls, (Calls{"cursor -11", "counter visible", "cursor 0", "counter hidden"}));
    EXPECT_EQ(Lines(empty.store.memoDummyInput), (Texts{kEndLine}));
}

// However the sending fails, the end packet is still tried, cursor and counter
// are restored, nothing is recorded, and the last failure is passed on.
TEST(SendPackets, AFailedSendingStillEndsTheTransferAndRecordsNothing) {
    struct Case {
        const char* what;
        std::map<int, std::u16string> failures;
        std::size_t calls;
        std::u16string passedOn;
    };
    for (const Case& c : {Case{"first packet", {{1, u"Connect to the port first!"}}, 2, u"Connect to the port first!"},
                          Case{"second packet", {{2, u"Port write error!"}}, 3, u"Port write error!"},
                          Case{"end packet", {{4, u"end"}}, 4, u"end"},
                          Case{"packet and end packet", {{1, u"packet"}, {2, u"end"}}, 2, u"end"}}) {
        SCOPED_TRACE(c.what);
        Upload upload;
        upload.store.memoDummyInput.Add(u"header");
        upload.sender.failures = c.failures;
        try {
            upload.Send(std::u16string(300, u'x'));  // three packets
            ADD_FAILURE() << "no error passed on";
        } catch (const EInOutError& error) {
            EXPECT_EQ(error.Message(), c.passedOn);
        }
        ASSERT_EQ(upload.sender.sent.size(), c.calls);
        EXPECT_EQ(upload.sender.sent.back(), kEndLine + u"\r\n");
        EXPECT_EQ(Calls(upload.window.calls.end() - 2, upload.window.calls.end()), (Calls{"cursor 0", "counter hidden"}));
        EXPECT_EQ(Lines(upload.store.memoDummyInput), (Texts{u"header"}));
    }
}

TEST(DecodePackets, ChecksumFieldsByTheIntegerTextRule) {
    const std::u16string payload = u"abc" + Blanks(125);
    for (const std::u16string field : {u" 12", u"-05", u"$1F"})
        EXPECT_EQ(DecodePackets(StoreOf({PacketLine(payload, u'0', field)})).rawData, payload);
    // 131 characters: a one-digit field and the full payload.
    const std::u16string shortLine = kSTX + payload + u"07";
    EXPECT_EQ(DecodePackets(StoreOf({shortLine})).rawData, payload);

    const std::u16string good = PacketLine(payload, u'0', u"112");
    EXPECT_EQ(DecodeError({good, PacketLine(payload, u'1', u"12a")}), u"''12a'' is not a valid integer value");
    EXPECT_EQ(DecodeError({good, PacketLine(payload, u'1', u"12 ")}), u"''12 '' is not a valid integer value");
    EXPECT_EQ(DecodeError({shortLine.substr(0, 130)}), u"'''' is not a valid integer value");
    // A short line before the last one, or before the end packet, or short
    // or empty lines only, still stop it.
    EXPECT_EQ(DecodeError({good, u"cut", good}), u"'''' is not a valid integer value");
    EXPECT_EQ(DecodeError({good, u"cut", kEndLine, good}), u"'''' is not a valid integer value");
    EXPECT_EQ(DecodeError({u"no packets", u"at all"}), u"'''' is not a valid integer value");
    EXPECT_EQ(DecodeError({u"", u""}), u"'''' is not a valid integer value");
}

// A transfer cut in the middle of its last packet: the whole packets before
// it are taken, the cut one is left out and said so. Empty lines, and short
// lines after the end packet, carry nothing and are left out without a word.
TEST(DecodePackets, ACutLastPacketIsLeftOut) {
    const std::u16string payload(128, u'p');
    const std::u16string packet = PacketLine(payload, u'0', u"000");
    struct Case {
        const char* what;
        Texts lines;
        std::u16string rawData;
        bool endPacket, cut;
    };
    for (const Case& c : {Case{"whole, ended", {packet, kEndLine}, payload, true, false},
                          Case{"whole, no end", {packet, packet}, payload + payload, false, false},
                          Case{"cut", {packet, packet.substr(0, 60)}, payload, false, true},
                          Case{"cut at the field", {packet, packet.substr(0, 130)}, payload, false, true},
                          Case{"cut, then ended", {packet, packet.substr(0, 60), kEndLine}, payload, true, true},
                          Case{"cut, then an empty line", {packet, packet.substr(0, 60), u""}, payload, false, true},
                          Case{"empty lines anywhere", {u"", packet, u"", packet, kEndLine, u""}, payload + payload,
                               true, false},
                          Case{"noise after the end", {packet, kEndLine, u"\x7F", packet.substr(0, 130)}, payload,
                               true, false}}) {
        SCOPED_TRACE(c.what);
        const auto decoded = DecodePackets(StoreOf(c.lines));
        EXPECT_EQ(decoded.rawData, c.rawData);
        EXPECT_EQ(decoded.endPacket, c.endPacket);
        EXPECT_EQ(decoded.cutLastPacket, c.cut);
    }
}

TEST(DecodePackets, LinesWithEotAreSkippedWhole) {
    const std::u16string payload(128, u'p');
    const std::u16string packet = PacketLine(payload, u'0', u"000");
    std::u16string withEot = packet;
    withEot[5] = u'\x04';
    const auto decoded = DecodePackets(StoreOf({packet, withEot, kEndLine, u"\x04 no field", packet}));
    EXPECT_EQ(decoded.rawData, payload + payload);
    EXPECT_TRUE(DecodePackets(StoreOf({})).rawData.empty());
}

TEST(DecodePackets, MismatchingChecksumsAreTakenAndListed) {
    const std::u16string payload = u"abc" + Blanks(125);
    const auto decoded = DecodePackets(StoreOf({
        PacketLine(payload, u'0', u"112"),  // right
        PacketLine(payload, u'1', u"112"),  // the sequence digit is covered too: 113
        kEndLine,
        PacketLine(payload, u'2', u"$1F"),
        kSTX + payload + u"37",             // 131 characters, checksum of "abc", blanks and "3"
    }));
    EXPECT_EQ(decoded.rawData, payload + payload + payload + payload);
    EXPECT_EQ(decoded.mismatches, (std::vector<ChecksumMismatch>{{2, 112, 113}, {4, 0x1F, 114}, {5, 7, 115}}));
}

TEST(DecodePackets, GivesBackWhatSendPacketsSent) {
    std::u16string text;
    for (int i = 0; i < 5 * 128; ++i) text += static_cast<char16_t>(u' ' + i * 7 % 95);
    text[3] = u'ğ';
    text[200] = u'İ';
    Upload upload;
    upload.Send(text);

    RawTextStore received;
    std::u16string wire;
    for (const auto& sent : upload.sender.sent) wire += sent;
    received.SetText(wire);
    const auto decoded = DecodePackets(received);
    EXPECT_EQ(decoded.rawData, text);
    EXPECT_TRUE(decoded.mismatches.empty());
    EXPECT_EQ(Lines(received), Lines(upload.store.memoDummyInput));
}
