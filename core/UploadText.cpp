#include "core/UploadText.h"

#include "core/FieldText.h"
#include "core/InstrumentPacket.h"
#include "core/TextTrim.h"

#include <algorithm>

namespace {

bool AllDigits(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t ch) { return ch >= u'0' && ch <= u'9'; });
}

// The value field of one coordinate cell. The instrument reads the field in
// thousandths, so the value is given exactly three decimals first; the
// signed-digits form then keeps six integer digits and drops the point.
std::u16string ValueField(std::u16string_view cell) {
    return FormatSignedDigits(ThreeDecimals(Trim(cell)), 9);
}

}  // namespace

std::u16string ThreeDecimals(std::u16string_view text) {
    const std::size_t signLength = !text.empty() && (text[0] == u'+' || text[0] == u'-') ? 1 : 0;
    const std::u16string_view number = text.substr(signLength);
    const std::size_t point = number.find(u'.');
    const std::u16string_view integer = number.substr(0, point);
    const std::u16string_view fraction =
        point == std::u16string_view::npos ? std::u16string_view() : number.substr(point + 1);
    if (!AllDigits(integer) || !AllDigits(fraction) || (integer.empty() && fraction.empty()))
        return std::u16string(text);

    // The digits of the value in thousandths, then the point put back.
    std::u16string digits(integer.empty() ? std::u16string_view(u"0") : integer);
    std::size_t integerLength = digits.size();
    digits += fraction.substr(0, 3);
    digits.append(integerLength + 3 - digits.size(), u'0');
    if (fraction.size() > 3 && fraction[3] >= u'5') {
        std::size_t k = digits.size();
        while (k > 0 && digits[k - 1] == u'9') digits[--k] = u'0';
        if (k == 0) {
            digits.insert(digits.begin(), u'1');
            ++integerLength;
        } else {
            ++digits[k - 1];
        }
    }
    digits.insert(integerLength, 1, u'.');
    return std::u16string(text.substr(0, signLength)) + digits;
}

std::u16string UploadText(const RecordStore& store) {
    const StringGrid& grid = store.gridXYZData;
    std::u16string text = u"_";
    // Counted in 64 bits: a count of INT32_MAX must end the loop, not wrap.
    for (std::int64_t record = 1; record <= store.LinesCountXYZ; ++record) {
        const auto row = static_cast<std::int32_t>(record);
        text += u'+';
        text += PadRight(std::u16string(Trim(grid.Cell(0, row))), 10);
        text += u"_ x";
        text += ValueField(grid.Cell(2, row));
        text += u"_ y";
        text += ValueField(grid.Cell(1, row));
        text += u"_ z";
        text += ValueField(grid.Cell(3, row));
        text += u'_';
    }
    const std::size_t rest = text.size() % framing::kPayloadLength;
    if (rest != 0) text.append(framing::kPayloadLength - rest, u' ');
    return text;
}

void UploadCoordinates(RecordStore& store, MessageSender& sender, const SleepFunction& sleep) {
    SendPackets(store, sender, sleep, UploadText(store));
}
