#include "core/Errors.h"
#include "core/InstrumentPacket.h"

#include "FakeWindowServices.h"
#include "RecordingMessageSender.h"

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::u16string>;

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

struct Upload {
    FakeWindowServices window;
    RecordStore store{window};
    RecordingMessageSender sender;
    RecordingSleep sleep;

    void Send(std::u16string_view text) { SendPackets(store, sender, sleep.Function(), text); }
};

}  // namespace

TEST(InstrumentPacket, ChecksumFieldHasThreeDigits) {
    EXPECT_EQ(ChecksumField(0), u"000");
    EXPECT_EQ(ChecksumField(9), u"009");
    EXPECT_EQ(ChecksumField(10), u"010");
    EXPECT_EQ(ChecksumField(99), u"099");
    EXPECT_EQ(ChecksumField(100), u"100");
    EXPECT_EQ(ChecksumField(255), u"255");
    // Characters count by their Windows-1254 byte: "ş" is 0xFE.
    EXPECT_EQ(PacketChecksum(u"ş"), 0xFE);
    EXPECT_EQ(PacketChecksum(u"ab"), 'a' ^ 'b');
}

TEST(SendPackets, OnePacketItsPauseCounterAndEndPacket) {
    Upload upload;
    upload.store.memoDummyInput.Add(u"header");
    upload.Send(u"abc" + Blanks(125));

    const std::u16string packet = PacketLine(u"abc" + Blanks(125), u'0', u"112");
    EXPECT_EQ(upload.sender.sent, (Texts{packet + u"\r\n", kEndLine + u"\r\n"}));
    EXPECT_EQ(upload.sleep.pauses, (std::vector<int>{300}));
    EXPECT_EQ(upload.window.calls,
              (std::vector<std::string>{"cursor -11", "counter visible", "caption Gönderilen Paket sayısı: 1",
                                        "repaint", "messages", "cursor 0", "counter hidden"}));
    EXPECT_EQ(Lines(upload.store.memoDummyInput), (Texts{u"header", packet, kEndLine}));
}

TEST(SendPackets, PiecesOf128AndSequenceDigits) {
    Upload twelve;
    std::u16string text;
    for (int i = 0; i < 12; ++i) text += std::u16string(128, static_cast<char16_t>(u'A' + i));
    twelve.Send(text);
    ASSERT_EQ(twelve.sender.sent.size(), 13u);
    EXPECT_EQ(twelve.sender.sent[9][129], u'9');
    EXPECT_EQ(twelve.sender.sent[10][129], u'0');
    EXPECT_EQ(twelve.sender.sent[11][129], u'1');
    EXPECT_EQ(twelve.sender.sent[11].substr(1, 128), std::u16string(128, u'L'));
    EXPECT_EQ(twelve.window.counterCaption, u"Gönderilen Paket sayısı: 12");
    EXPECT_EQ(twelve.sleep.pauses.size(), 12u);

    Upload exact;
    exact.Send(std::u16string(256, u'x'));
    ASSERT_EQ(exact.sender.sent.size(), 3u);
    EXPECT_EQ(exact.sender.sent[1].substr(1, 128), std::u16string(128, u'x'));

    Upload oneOver;
    oneOver.Send(std::u16string(128, u'x') + u'y');
    ASSERT_EQ(oneOver.sender.sent.size(), 3u);
    EXPECT_EQ(oneOver.sender.sent[1].substr(1, 128), u'y' + Blanks(127));

    Upload empty;
    empty.window.counterCaption = u"before";
    empty.Send(u"");
    EXPECT_EQ(empty.sender.sent, (Texts{kEndLine + u"\r\n"}));
    EXPECT_EQ(empty.window.calls,
              (std::vector<std::string>{"cursor -11", "counter visible", "cursor 0", "counter hidden"}));
    EXPECT_EQ(empty.window.counterCaption, u"before");
    EXPECT_EQ(Lines(empty.store.memoDummyInput), (Texts{kEndLine}));
}

TEST(SendPackets, AFailedPacketStillEndsTheTransferAndRecordsNothing) {
    Upload upload;
    upload.store.memoDummyInput.Add(u"header");
    upload.sender.failures[1] = u"Connect to the port first!";
    try {
        upload.Send(std::u16string(300, u'x'));
        FAIL() << "no error passed on";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), u"Connect to the port first!");
    }
    ASSERT_EQ(upload.sender.sent.size(), 2u);
    EXPECT_EQ(upload.sender.sent[1], kEndLine + u"\r\n");
    EXPECT_TRUE(upload.sleep.pauses.empty());
    EXPECT_EQ(upload.window.cursor, ScreenCursor::crDefault);
    EXPECT_FALSE(upload.window.counterVisible);
    EXPECT_EQ(Lines(upload.store.memoDummyInput), (Texts{u"header"}));

    Upload later;
    later.sender.failures[2] = u"Port write error!";
    EXPECT_THROW(later.Send(std::u16string(300, u'x')), EInOutError);
    EXPECT_EQ(later.sender.sent.size(), 3u);  // two packets tried, then the end packet
    EXPECT_EQ(later.store.memoDummyInput.Count(), 0);
}

TEST(SendPackets, TheEndPacketsOwnFailureIsTheOnePassedOn) {
    Upload endOnly;
    endOnly.sender.failures[2] = u"end";
    EXPECT_THROW(endOnly.Send(u"abc"), EInOutError);
    EXPECT_EQ(endOnly.store.memoDummyInput.Count(), 0);
    EXPECT_FALSE(endOnly.window.counterVisible);

    Upload both;
    both.sender.failures = {{1, u"packet"}, {2, u"end"}};
    try {
        both.Send(u"abc");
        FAIL() << "no error passed on";
    } catch (const EInOutError& error) {
        EXPECT_EQ(error.Message(), u"end");
    }
    EXPECT_EQ(both.window.cursor, ScreenCursor::crDefault);
}

TEST(DecodePackets, ChecksumFieldsByTheIntegerTextRule) {
    const std::u16string payload = u"abc" + Blanks(125);
    for (const std::u16string field : {u" 12", u"-05", u"$1F"}) {
        const auto decoded = DecodePackets(StoreOf({PacketLine(payload, u'0', field)}));
        EXPECT_EQ(decoded.rawData, payload);
    }
    for (const std::u16string field : {u"12a", u"12 "}) {
        try {
            DecodePackets(StoreOf({PacketLine(payload, u'0', u"112"), PacketLine(payload, u'1', field)}));
            FAIL() << "field accepted";
        } catch (const EConvertError& error) {
            EXPECT_EQ(error.Message(), u"''" + field + u"'' is not a valid integer value");
        }
    }
    // 131 characters: a one-digit field and the full payload.
    const std::u16string shortLine = kSTX + payload + u"07";
    EXPECT_EQ(DecodePackets(StoreOf({shortLine})).rawData, payload);
    try {
        DecodePackets(StoreOf({shortLine.substr(0, 130)}));
        FAIL() << "130-character line accepted";
    } catch (const EConvertError& error) {
        EXPECT_EQ(error.Message(), u"'''' is not a valid integer value");
    }
    EXPECT_THROW(DecodePackets(StoreOf({u""})), EConvertError);
    // A raw dump saved after an upload begins with the header's short line.
    EXPECT_THROW(DecodePackets(StoreOf({kSTX + u"F00F000" + kETX, kEndLine})), EConvertError);
}

TEST(DecodePackets, LinesWithEotAreSkippedWhole) {
    const std::u16string payload(128, u'p');
    const std::u16string packet = PacketLine(payload, u'0', u"000");
    std::u16string withEot = packet;
    withEot[5] = u'\x04';
    const auto decoded = DecodePackets(StoreOf({packet, withEot, kEndLine, u"\x04 no field", packet}));
    EXPECT_EQ(decoded.rawData, payload + payload);
    EXPECT_TRUE(DecodePackets(StoreOf({})).rawData.empty());
    EXPECT_TRUE(DecodePackets(StoreOf({kEndLine})).rawData.empty());
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
