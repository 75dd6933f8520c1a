#include "core/UploadText.h"

#include "core/FieldText.h"
#include "core/InstrumentPacket.h"
#include "core/TextCodec.h"
#include "core/TextTrim.h"

#include <algorithm>
#include <array>

namespace {

bool AllDigits(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t ch) { return ch >= u'0' && ch <= u'9'; });
}

// A plain decimal number cut into its parts: the sign ("", "+" or "-"), the
// digits before the decimal mark and those after it.
struct DecimalParts {
    std::u16string_view sign, integer, fraction;
};

// The parts of an optional sign, then digits with at most one decimal mark,
// "." or ",", and at least one digit; nothing for any other text.
std::optional<DecimalParts> SplitDecimal(std::u16string_view text) {
    const std::size_t signLength = !text.empty() && (text[0] == u'+' || text[0] == u'-') ? 1 : 0;
    const std::u16string_view number = text.substr(signLength);
    const std::size_t mark = number.find_first_of(u".,");
    const std::u16string_view integer = number.substr(0, mark);
    const std::u16string_view fraction =
        mark == std::u16string_view::npos ? std::u16string_view() : number.substr(mark + 1);
    if (!AllDigits(integer) || !AllDigits(fraction) || (integer.empty() && fraction.empty()))
        return std::nullopt;
    return DecimalParts{text.substr(0, signLength), integer, fraction};
}

// The value field of one coordinate cell. The instrument reads the field in
// thousandths, so the value is given exactly three decimals first; the
// signed-digits form then keeps six integer digits and drops the point.
std::u16string ValueField(std::u16string_view cell) {
    return FormatSignedDigits(ThreeDecimals(Trim(cell)), 9);
}

}  // namespace

std::optional<std::u16string> UploadRefusal(const RecordStore& store) {
    struct Column {
        std::int32_t index;
        const char16_t* heading;
    };
    constexpr std::array<Column, 3> kValueColumns = {{{1, u"X"}, {2, u"Y"}, {3, u"Z"}}};
    // Counted in 64 bits, as the upload text's rows are.
    for (std::int64_t record = 1; record <= store.LinesCountXYZ; ++record) {
        const auto row = static_cast<std::int32_t>(record);
        for (const Column& column : kValueColumns) {
            const std::u16string_view cell = Trim(store.gridXYZData.Cell(column.index, row));
            if (cell.empty() || SplitDecimal(cell)) continue;
            return u"Bilgi gönderilmedi: satır " + DecimalText(row) + u", " + column.heading +
                   u" sütunundaki \"" + std::u16string(cell) + u"\" bir sayı değil.";
        }
    }
    return std::nullopt;
}

std::u16string ThreeDecimals(std::u16string_view text) {
    const std::optional<DecimalParts> parts = SplitDecimal(text);
    if (!parts) return std::u16string(text);
    const std::size_t signLength = parts->sign.size();
    const std::u16string_view integer = parts->integer;
    const std::u16string_view fraction = parts->fraction;

    // The sign, the integer digits ("0" when there are none), the point and
    // three decimals; the fourth decimal rounds the magnitude up from "5" on.
    std::u16string result(parts->sign);
    result.reserve(signLength + integer.size() + 6);
    result += integer.empty() ? std::u16string_view(u"0") : integer;
    result += u'.';
    result += fraction.substr(0, 3);
    result.append(std::size_t{3} - std::min<std::size_t>(fraction.size(), 3), u'0');
    if (fraction.size() > 3 && fraction[3] >= u'5') {
        std::size_t k = result.size();
        for (; k > signLength; --k) {
            char16_t& digit = result[k - 1];
            if (digit == u'.') continue;
            if (digit != u'9') break;
            digit = u'0';
        }
        if (k == signLength) result.insert(result.begin() + static_cast<std::ptrdiff_t>(signLength), u'1');
        else ++result[k - 1];
    }
    return result;
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
