#pragma once

// The two record layouts of the record files and their byte-exact encoding.
//   gear.sav             ShaftRecord,   116-byte slots (74 bytes of data)
//   bearing.sav/temp.sav BearingRecord,  48-byte slots (35 bytes of data)
// Integers are 16-bit little-endian, floats IEEE binary32 little-endian, texts GBK padded with
// blanks. The unused bytes after a record's data are written as zeros; readers never look at them.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

struct ShaftRecord
{
    QString ShaftNo; // 15 characters, the key
    float P1 = 0, P2 = 0, n = 0;
    std::int16_t L = 0, ALFA = 0;
    std::array<std::int16_t, 8> GearParams {}; // L1, d1, BTA1, ALFA1, L2, d2, BTA2, ALFA2
    std::uint8_t Flags = 0; // option bits, see Module1::BitsToByte
    std::int16_t WeightKg = 0;
    QString ModelA, ModelB; // 12 characters each
};

struct BearingRecord
{
    QString Model; // 12 characters, the key
    std::uint8_t Type = 0; // TypeCode
    std::int16_t d = 0, D = 0, B = 0; // mm
    float e = 0, Y1 = 0, Y2 = 0, Cr = 0; // Cr in kN
};

namespace RecordLayout {

constexpr int ShaftSlot = 116;
constexpr int BearingSlot = 48;
// Bytes of a record's data at the start of its slot.
constexpr int ShaftData = 74;
constexpr int BearingData = 35;
constexpr int ShaftNoWidth = 15;
constexpr int ModelWidth = 12;
constexpr int MaxRecords = 32767; // record numbers are 16-bit signed

// Whole slots; text fields are cut in GBK without splitting a double-byte character.
QByteArray encodeShaft(const ShaftRecord &record);
QByteArray encodeBearing(const BearingRecord &record);

// Decodes one slot (at least ShaftSlot / BearingSlot bytes). Undecodable text comes back with
// replacement characters; the texts are returned at their field width in characters (blank-padded).
ShaftRecord decodeShaft(const char *slot);
BearingRecord decodeBearing(const char *slot);

// A text as a GBK field of width bytes: cut without splitting a character, padded with blanks.
QByteArray encodeText(const QString &text, int width);
// A GBK field back to text, padded with blanks to width characters (replacement on bad bytes).
QString decodeText(const char *field, int width);

// The text a field of width bytes gives back after storing text: decodeText(encodeText(...)).
// Equal to Conv::fitText(text, width) for plain ASCII; a long Chinese text comes back cut and a
// character GBK lacks comes back as '?'.
QString fitField(const QString &text, int width);

// The characters of text that GBK lacks, each once, in order, joined by "、"; empty when none.
QString charactersOutsideGbk(const QString &text);
// "<what>中的字符 <characters> 不能保存（GBK 编码中没有）", what being 编号 or 型号.
QString outsideGbkMessage(const QString &what, const QString &characters);

} // namespace RecordLayout

namespace Module1 {

// The option bits of a shaft record: element i is bit 7 - i (element 0 the most significant bit).
inline std::array<std::uint8_t, 8> ByteToBits(std::uint8_t b)
{
    std::array<std::uint8_t, 8> bits {};
    unsigned rest = b;
    for (int i = 7; i >= 0 && rest != 0; --i) {
        bits[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(rest & 1U);
        rest >>= 1U;
    }
    return bits;
}

// Sum of element i * 2^(7 - i). Elements are 0 or 1; larger ones are taken modulo 2 so the sum
// always fits a byte.
inline std::uint8_t BitsToByte(const std::array<std::uint8_t, 8> &bits)
{
    unsigned sum = 0;
    for (std::size_t i = 0; i < 8; ++i)
        sum |= static_cast<unsigned>(bits[i] & 1U) << (7 - i);
    return static_cast<std::uint8_t>(sum);
}

} // namespace Module1
