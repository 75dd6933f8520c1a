#include "core/RawRecordParser.h"

#include "core/FieldText.h"
#include "core/TextCodec.h"
#include "core/StringGrid.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t kNone = std::u16string_view::npos;

// Characters are looked at in blocks, without stopping inside a block, which
// the compiler turns into vector compares: some searches run over the whole
// rest of the raw data.
constexpr std::size_t kBlock = 32;

// The index of the first ch in text from index `from` on, or text.size().
std::size_t FindChar(std::u16string_view text, std::size_t from, char16_t ch) {
    const char16_t* chars = text.data();
    std::size_t i = from;
    for (; i + kBlock <= text.size(); i += kBlock) {
        unsigned hits = 0;
        for (std::size_t j = 0; j < kBlock; ++j) hits |= chars[i + j] == ch;
        if (hits) break;
    }
    for (; i < text.size(); ++i)
        if (chars[i] == ch) break;
    return i;
}

// The same, also watching for `other` until it is seen: otherAt becomes the
// index of the first `other` from `from` on, or the index where the search
// stopped when it saw none before.
std::size_t FindCharWatching(std::u16string_view text, std::size_t from, char16_t ch,
                             char16_t other, std::size_t& otherAt) {
    const char16_t* chars = text.data();
    std::size_t i = from;
    for (; i + kBlock <= text.size(); i += kBlock) {
        unsigned hits = 0;
        for (std::size_t j = 0; j < kBlock; ++j)
            hits |= (chars[i + j] == ch) | (chars[i + j] == other);
        if (hits) break;
    }
    for (; i < text.size(); ++i) {
        if (chars[i] == ch) break;
        if (chars[i] == other) {
            otherAt = i;
            return FindChar(text, i + 1, ch);
        }
    }
    otherAt = i;
    return i;
}

// The part of the raw data not read yet. Removing text moves the front and
// never copies. A search gives what a search from the front to the very end
// would give, but it remembers for each thing searched the index before which
// none stands after the front: the place it found last, or the end. The next
// search for the same thing starts there, so every character of the raw data
// is looked at a bounded number of times however the records are laid out.
//
// The searches for ")" and "," are the ones that may run over the whole rest
// of the stream; each looks out for the other on the way, so that a stream
// with neither is read through once, not twice.
class WorkingText {
public:
    explicit WorkingText(std::u16string_view raw) : raw_(raw) {}

    bool Empty() const { return front_ >= raw_.size(); }
    // Indexes below are indexes into the raw data.
    std::size_t Front() const { return front_; }
    // The character at index, or 0 past the end.
    char16_t At(std::size_t index) const { return index < raw_.size() ? raw_[index] : u'\0'; }
    // The text from the front up to index, index excluded; the whole working
    // text for kNone.
    std::u16string_view Before(std::size_t index) const {
        return raw_.substr(front_, index == kNone ? kNone : index - front_);
    }

    // The first place, from the front, of the character, or kNone. Only
    // ASCII characters are searched.
    std::size_t Find(char16_t ch) {
        std::size_t& clear = ClearTo(ch);
        clear = FindChar(raw_, std::max(front_, clear), ch);
        return Found(clear);
    }
    // The same, looking out for `other` on the way, so that a later search
    // for it need not read again what this one read.
    std::size_t Find(char16_t ch, char16_t other) {
        std::size_t& clear = ClearTo(ch);
        std::size_t& otherClear = ClearTo(other);
        const std::size_t from = std::max(front_, clear);
        // Only a search that starts where the knowledge about `other` ends
        // or before can add to it.
        if (std::max(front_, otherClear) < from) return Find(ch);
        std::size_t otherAt = 0;
        clear = FindCharWatching(raw_, from, ch, other, otherAt);
        otherClear = std::max(otherClear, otherAt);
        return Found(clear);
    }
    // The first place of a digit, of a non-digit, or kNone.
    std::size_t FindDigit() { return Search(digitClear_, FirstDigitPos); }
    std::size_t FindNonDigit() { return Search(nonDigitClear_, FirstNonDigitPos); }

    // The working text becomes what follows index ("remove up to index").
    // kNone, or an index at or past the end, leaves it empty.
    void RemoveThrough(std::size_t index) {
        front_ = index >= raw_.size() ? raw_.size() : std::max(front_, index + 1);
    }
    // The working text starts at index: only the characters before it go.
    void RemoveBefore(std::size_t index) { front_ = std::max(front_, std::min(index, raw_.size())); }

private:
    std::size_t& ClearTo(char16_t ch) { return charClear_[ch & 0x7F]; }
    std::size_t Found(std::size_t index) const { return index < raw_.size() ? index : kNone; }

    // Runs a field text search (a position from 1, or 0) from where the
    // last one left off.
    std::size_t Search(std::size_t& clear, std::size_t (*firstPos)(std::u16string_view)) {
        const std::size_t from = std::min(std::max(front_, clear), raw_.size());
        const std::size_t pos = firstPos(raw_.substr(from));
        clear = pos == 0 ? raw_.size() : from + pos - 1;
        return Found(clear);
    }

    std::u16string_view raw_;
    std::size_t front_ = 0;
    // For each character searched, a digit and a non-digit: none of it
    // stands from the front up to this index.
    std::array<std::size_t, 128> charClear_{};
    std::size_t digitClear_ = 0;
    std::size_t nonDigitClear_ = 0;
};

// How a number of a record becomes the text of its cell.
enum class Zeros { Remain, Blanked, Signed };

struct NumberRule {
    std::int32_t column;
    std::size_t digitsUsed;  // kAllDigits, or the first that many digits only
    bool pointFromEnd;       // the point before the last `pointDigits` digits, or after the first
    std::size_t pointDigits;
    Zeros zeros;
};

constexpr std::size_t kAllDigits = 0;

constexpr NumberRule Last(std::int32_t column, std::size_t decimals, Zeros zeros) {
    return {column, kAllDigits, true, decimals, zeros};
}
constexpr NumberRule After(std::int32_t column, std::size_t first, std::size_t integers,
                           Zeros zeros) {
    return {column, first, false, integers, zeros};
}

enum class Tail { Height, UEnd, None };

struct RecordType {
    char16_t marker;
    GridKind grid;
    std::size_t numberCount;
    std::array<NumberRule, 3> numbers;
    bool noDistance;  // the record carries no slope distance
    Tail tail;
};

constexpr Zeros kRemain = Zeros::Remain;
constexpr Zeros kBlanked = Zeros::Blanked;
constexpr Zeros kSigned = Zeros::Signed;
constexpr NumberRule kUnused{};

// Observation columns: 1 horizontal angle, 2 vertical angle, 3 slope distance,
// 4 height. Coordinate columns: 1 X, 2 Y, 3 Z.
constexpr std::array<RecordType, 7> kRecordTypes{{
    {u'<', GridKind::YDE, 2, {Last(2, 4, kRemain), Last(1, 4, kBlanked), kUnused}, true, Tail::Height},
    {u'\'', GridKind::YDE, 2, {After(2, 7, 3, kRemain), After(1, 7, 3, kBlanked), kUnused}, true,
     Tail::Height},
    {u'(', GridKind::YDE, 3,
     {After(3, 8, 5, kBlanked), After(1, 7, 3, kBlanked), After(2, 7, 3, kBlanked)}, false,
     Tail::Height},
    {u'?', GridKind::YDE, 3, {Last(3, 3, kBlanked), Last(2, 4, kBlanked), Last(1, 4, kBlanked)},
     false, Tail::Height},
    {u'x', GridKind::XYZ, 3, {Last(1, 3, kSigned), Last(2, 3, kSigned), Last(3, 3, kSigned)}, false,
     Tail::None},
    {u'/', GridKind::XYZ, 3,
     {After(1, kAllDigits, 8, kSigned), After(2, kAllDigits, 8, kSigned),
      After(3, kAllDigits, 8, kSigned)},
     false, Tail::None},
    {u'U', GridKind::XYZ, 3, {Last(2, 3, kSigned), Last(1, 3, kSigned), Last(3, 3, kSigned)}, false,
     Tail::UEnd},
}};

const RecordType* FindRecordType(char16_t marker) {
    for (const RecordType& type : kRecordTypes)
        if (type.marker == marker) return &type;
    return nullptr;
}

// Gives value the digits with the decimal point put in by the rule.
void PlacePoint(std::u16string_view digits, const NumberRule& rule, std::u16string& value) {
    if (rule.digitsUsed != kAllDigits && digits.size() > rule.digitsUsed)
        digits = digits.substr(0, rule.digitsUsed);
    const std::size_t split = rule.pointFromEnd
                                  ? digits.size() - std::min(digits.size(), rule.pointDigits)
                                  : std::min(digits.size(), rule.pointDigits);
    value.assign(digits.substr(0, split));
    value.push_back(u'.');
    value.append(digits.substr(split));
}

// Reads the records from the front of the working text into the store's grids.
class RecordReader {
public:
    RecordReader(RecordStore& store, std::u16string_view raw) : store_(store), text_(raw) {}

    void ReadAll() {
        while (!text_.Empty()) {
            if (StartsRecord(u'\'')) {
                if (!ReadStationRecord()) return;
            } else if (StartsRecord(u'+')) {
                if (!ReadPointRecord()) return;
            } else {
                text_.RemoveThrough(text_.Front());  // filler
            }
        }
    }

private:
    // The working text begins with the marker, or with "_" and the marker.
    bool StartsRecord(char16_t marker) const {
        const std::size_t front = text_.Front();
        return text_.At(front) == marker || (text_.At(front) == u'_' && text_.At(front + 1) == marker);
    }

    // False when the record ends the parse. The row is counted only once it
    // can be written, so a record cut short leaves no row behind that would
    // show whatever an earlier conversion left there.
    bool ReadStationRecord() {
        text_.RemoveThrough(text_.Find(u'\''));
        std::size_t end = text_.Find(u'_');
        if (end == kNone) return false;
        const std::u16string_view name = text_.Before(end);
        // The search for ")" starts at the name, so it may pass the "_" after
        // it and even later records.
        if (const std::size_t close = text_.Find(u')', u','); close != kNone)
            text_.RemoveThrough(close);
        end = text_.Find(u'_');
        if (end == kNone) return false;

        const std::int32_t row = store_.AddRecord(GridKind::YDE);
        StringGrid& grid = store_.gridYDEData;
        grid.AssignCell(0, row, TrimSpaces(name));
        grid.AssignCell(1, row, u"  0.0000");
        grid.AssignCell(2, row, u"  0.0000");
        grid.AssignCell(3, row, u"    0.000");
        grid.AssignCell(4, row, text_.Before(end));
        text_.RemoveThrough(end);
        return true;
    }

    bool ReadPointRecord() {
        text_.RemoveThrough(text_.Find(u'+'));
        const std::size_t end = text_.Find(u'_');
        if (end == kNone) return false;
        const std::u16string_view name = text_.Before(end);
        text_.RemoveThrough(end + 1);  // the "_" and the character after it
        if (text_.Empty()) return false;

        const RecordType* type = FindRecordType(text_.At(text_.Front()));
        if (!type) {
            // Not a record after all: the name is dropped and the rest is read
            // as filler, where a start marker begins a new record.
            text_.RemoveThrough(text_.Front());
            return true;
        }

        const std::int32_t row = store_.AddRecord(type->grid);
        StringGrid& grid = store_.Grid(type->grid);
        grid.AssignCell(0, row, TrimSpaces(name));
        if (type->noDistance) grid.AssignCell(3, row, u"    *****");
        // The type character goes with the filler before the first digits.
        for (std::size_t i = 0; i < type->numberCount; ++i) {
            if (type->grid == GridKind::YDE)
                ReadObservationNumber(grid, row, type->numbers[i]);
            else
                ReadCoordinateNumber(grid, row, type->numbers[i], i + 1 == type->numberCount);
        }
        switch (type->tail) {
        case Tail::Height: ReadHeight(grid, row); return true;
        case Tail::UEnd: return PassUEnd();
        case Tail::None: return true;
        }
        return true;
    }

    // The next run of digits, the character that ends it going with it. Digits
    // that run to the end of the raw data are the value, and nothing is left.
    void ReadObservationNumber(StringGrid& grid, std::int32_t row, const NumberRule& rule) {
        if (const std::size_t first = text_.FindDigit(); first != kNone) text_.RemoveBefore(first);
        const std::size_t end = text_.FindNonDigit();
        PlacePoint(text_.Before(end), rule, value_);
        if (rule.zeros == Zeros::Blanked) value_ = SuppressLeadingZeros(std::move(value_), u'+');
        grid.AssignCell(rule.column, row, value_);
        text_.RemoveThrough(end);
    }

    // The next run of digits, negative when a "-" stands right before it.
    // Only the last number of a record takes the character that ends it: the
    // ending character of the others can be the "-" of the next.
    void ReadCoordinateNumber(StringGrid& grid, std::int32_t row, const NumberRule& rule,
                              bool last) {
        const std::size_t first = text_.FindDigit();
        const char16_t sign =
            first != kNone && first > text_.Front() && text_.At(first - 1) == u'-' ? u'-' : u'+';
        if (first != kNone) text_.RemoveBefore(first);
        const std::size_t end = text_.FindNonDigit();
        PlacePoint(text_.Before(end), rule, value_);
        value_ = SuppressLeadingZeros(std::move(value_), sign);
        grid.AssignCell(rule.column, row, value_);
        if (last)
            text_.RemoveThrough(end);
        else
            text_.RemoveBefore(end);
    }

    // The height: after the next "," (wherever it is) up to the next "_".
    void ReadHeight(StringGrid& grid, std::int32_t row) {
        if (const std::size_t comma = text_.Find(u',', u')'); comma != kNone)
            text_.RemoveThrough(comma);
        const std::size_t end = text_.Find(u'_');
        if (end == kNone) {
            grid.AssignCell(4, row, {});
            return;
        }
        grid.AssignCell(4, row, text_.Before(end));
        text_.RemoveThrough(end);
    }

    // Passes over the text up to the next "," and from there up to the next
    // "_". False when either is missing: the row is complete, the parse ends.
    bool PassUEnd() {
        const std::size_t comma = text_.Find(u',', u')');
        if (comma == kNone) return false;
        text_.RemoveThrough(comma);
        const std::size_t end = text_.Find(u'_');
        if (end == kNone) return false;
        text_.RemoveThrough(end);
        return true;
    }

    RecordStore& store_;
    WorkingText text_;
    // Each value is built here and then copied into its cell, which keeps
    // its storage from an earlier conversion.
    std::u16string value_;
};

}  // namespace

void ConvertRawData(RecordStore& store, std::u16string_view rawData) {
    {
        // A view of either grid refreshes once, when the filling is done and
        // before the report shows.
        GridUpdate coordinates(store.gridXYZData);
        GridUpdate observations(store.gridYDEData);
        store.ConversionReset();
        RecordReader(store, rawData).ReadAll();
    }

    store.comboDataFormat.SetItemIndex(store.LinesCountXYZ > store.LinesCountYDE
                                           ? DataFormatSelector::kXYZ
                                           : DataFormatSelector::kYDE);
    store.comboDataFormatChange();
    store.services.ShowMessage(u"Dönüştürme işlemi tamamlandı.\r\n" + DecimalText(store.LinesCountXYZ) +
                               u" XYZ kaydı ve " + DecimalText(store.LinesCountYDE) +
                               u" YDE kaydı bulundu.");
}
