#include "records/records.h"

#include "calc/conversions.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>
#include <QtEndian>

#include <bit>
#include <cstring>

namespace RecordLayout {

namespace {

// Field offsets of the two layouts.
namespace Shaft {
constexpr int ShaftNo = 0;
constexpr int P1 = 15;
constexpr int P2 = 19;
constexpr int n = 23;
constexpr int L = 27;
constexpr int ALFA = 29;
constexpr int GearParams = 31;
constexpr int Flags = 47;
constexpr int WeightKg = 48;
constexpr int ModelA = 50;
constexpr int ModelB = 62;
constexpr int DataEnd = ShaftData;
} // namespace Shaft

namespace Bearing {
constexpr int Model = 0;
constexpr int Type = 12;
constexpr int d = 13;
constexpr int D = 15;
constexpr int B = 17;
constexpr int e = 19;
constexpr int Y1 = 23;
constexpr int Y2 = 27;
constexpr int Cr = 31;
constexpr int DataEnd = BearingData;
} // namespace Bearing

static_assert(Shaft::DataEnd <= ShaftSlot && Bearing::DataEnd <= BearingSlot);

// One decoder per thread, reused: opening a converter costs far more than decoding 12 bytes, and a
// lookup decodes up to 32767 keys.
QStringDecoder &gbkDecoder()
{
    thread_local QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    return decoder;
}

QStringEncoder &gbkEncoder()
{
    thread_local QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    return encoder;
}

bool isLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

bool isTrailByte(unsigned char b)
{
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Length of the character starting at bytes[i] of well-formed encoder output: one byte, a GBK
// pair, or a four-byte GB18030 sequence (second byte a digit).
int unitLength(const QByteArray &bytes, qsizetype i)
{
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (!isLeadByte(b) || i + 1 >= bytes.size())
        return 1;
    const auto next = static_cast<unsigned char>(bytes[i + 1]);
    return next >= 0x30 && next <= 0x39 ? 4 : 2;
}

void putInt16(char *at, std::int16_t value)
{
    qToLittleEndian<qint16>(value, at);
}

void putSingle(char *at, float value)
{
    qToLittleEndian<quint32>(std::bit_cast<quint32>(value), at);
}

void putText(char *at, const QString &text, int width)
{
    const QByteArray field = encodeText(text, width);
    std::memcpy(at, field.constData(), static_cast<size_t>(width));
}

std::int16_t int16At(const char *at)
{
    return qFromLittleEndian<qint16>(at);
}

// The bits as stored: NaN payloads and infinities come back unchanged.
float singleAt(const char *at)
{
    return std::bit_cast<float>(qFromLittleEndian<quint32>(at));
}

std::uint8_t byteAt(const char *at)
{
    return static_cast<std::uint8_t>(*at);
}

} // namespace

QByteArray encodeText(const QString &text, int width)
{
    QByteArray field(width, ' ');
    if (width <= 0)
        return field;
    QStringEncoder &encoder = gbkEncoder();
    encoder.resetState();
    const QByteArray bytes = encoder.encode(text);
    qsizetype used = 0;
    while (used < bytes.size()) {
        const int len = unitLength(bytes, used);
        if (used + len > width)
            break; // the next character does not fit whole
        used += len;
    }
    std::memcpy(field.data(), bytes.constData(), static_cast<size_t>(used));
    return field;
}

QString decodeText(const char *field, int width)
{
    if (width <= 0)
        return QString();
    const auto *bytes = reinterpret_cast<const unsigned char *>(field);
    int firstHigh = 0;
    while (firstHigh < width && bytes[firstHigh] < 0x80)
        ++firstHigh;
    QString text;
    if (firstHigh == width) {
        // GBK agrees with ASCII below 0x80.
        text = QString::fromLatin1(field, width);
    } else {
        // The decoder drops a lead byte that ends the field without a word; such a byte is decoded
        // here as a replacement character so no byte vanishes unnoticed.
        int end = firstHigh;
        bool danglingLead = false;
        while (end < width) {
            if (isLeadByte(bytes[end])) {
                if (end + 1 == width) {
                    danglingLead = true;
                    break;
                }
                end += isTrailByte(bytes[end + 1]) ? 2 : 1;
            } else {
                ++end;
            }
        }
        QStringDecoder &decoder = gbkDecoder();
        decoder.resetState();
        text = decoder.decode(QByteArrayView(field, end));
        if (danglingLead)
            text += QChar(QChar::ReplacementCharacter);
    }
    if (text.size() < width)
        text += QString(width - text.size(), u' ');
    return text;
}

QString fitField(const QString &text, int width)
{
    bool ascii = true;
    for (QChar c : text) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return Conv::fitText(text, width);
    const QByteArray field = encodeText(text, width);
    return decodeText(field.constData(), width);
}

namespace {

// Whether every character of text has a GBK code (otherwise it would be stored as '?').
bool encodableInGbk(const QString &text)
{
    // The encoder writes '?' for a character without a code; its error flag is not reliable after
    // resetState(). '?' is never the second byte of a GBK pair, so counting them is exact.
    QStringEncoder &encoder = gbkEncoder();
    encoder.resetState();
    const QByteArray bytes = encoder.encode(text);
    return bytes.count('?') == text.count(u'?');
}

} // namespace

QString charactersOutsideGbk(const QString &text)
{
    QStringList found;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond the BMP is a surrogate pair: judged and named whole.
        const qsizetype length
            = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
            ? 2
            : 1;
        const QString character = text.mid(i, length);
        if (!encodableInGbk(character) && !found.contains(character))
            found.append(character);
        i += length - 1;
    }
    return found.join(u'、');
}

QString outsideGbkMessage(const QString &what, const QString &characters)
{
    return what + QStringLiteral("中的字符 ") + characters
        + QStringLiteral(" 不能保存（GBK 编码中没有）");
}

QByteArray encodeShaft(const ShaftRecord &record)
{
    QByteArray slot(ShaftSlot, '\0');
    char *s = slot.data();
    putText(s + Shaft::ShaftNo, record.ShaftNo, ShaftNoWidth);
    putSingle(s + Shaft::P1, record.P1);
    putSingle(s + Shaft::P2, record.P2);
    putSingle(s + Shaft::n, record.n);
    putInt16(s + Shaft::L, record.L);
    putInt16(s + Shaft::ALFA, record.ALFA);
    for (int i = 0; i < 8; ++i)
        putInt16(s + Shaft::GearParams + 2 * i, record.GearParams[static_cast<size_t>(i)]);
    s[Shaft::Flags] = static_cast<char>(record.Flags);
    putInt16(s + Shaft::WeightKg, record.WeightKg);
    putText(s + Shaft::ModelA, record.ModelA, ModelWidth);
    putText(s + Shaft::ModelB, record.ModelB, ModelWidth);
    return slot;
}

QByteArray encodeBearing(const BearingRecord &record)
{
    QByteArray slot(BearingSlot, '\0');
    char *s = slot.data();
    putText(s + Bearing::Model, record.Model, ModelWidth);
    s[Bearing::Type] = static_cast<char>(record.Type);
    putInt16(s + Bearing::d, record.d);
    putInt16(s + Bearing::D, record.D);
    putInt16(s + Bearing::B, record.B);
    putSingle(s + Bearing::e, record.e);
    putSingle(s + Bearing::Y1, record.Y1);
    putSingle(s + Bearing::Y2, record.Y2);
    putSingle(s + Bearing::Cr, record.Cr);
    return slot;
}

ShaftRecord decodeShaft(const char *slot)
{
    ShaftRecord r;
    r.ShaftNo = decodeText(slot + Shaft::ShaftNo, ShaftNoWidth);
    r.P1 = singleAt(slot + Shaft::P1);
    r.P2 = singleAt(slot + Shaft::P2);
    r.n = singleAt(slot + Shaft::n);
    r.L = int16At(slot + Shaft::L);
    r.ALFA = int16At(slot + Shaft::ALFA);
    for (int i = 0; i < 8; ++i)
        r.GearParams[static_cast<size_t>(i)] = int16At(slot + Shaft::GearParams + 2 * i);
    r.Flags = byteAt(slot + Shaft::Flags);
    r.WeightKg = int16At(slot + Shaft::WeightKg);
    r.ModelA = decodeText(slot + Shaft::ModelA, ModelWidth);
    r.ModelB = decodeText(slot + Shaft::ModelB, ModelWidth);
    return r;
}

BearingRecord decodeBearing(const char *slot)
{
    BearingRecord r;
    r.Model = decodeText(slot + Bearing::Model, ModelWidth);
    r.Type = byteAt(slot + Bearing::Type);
    r.d = int16At(slot + Bearing::d);
    r.D = int16At(slot + Bearing::D);
    r.B = int16At(slot + Bearing::B);
    r.e = singleAt(slot + Bearing::e);
    r.Y1 = singleAt(slot + Bearing::Y1);
    r.Y2 = singleAt(slot + Bearing::Y2);
    r.Cr = singleAt(slot + Bearing::Cr);
    return r;
}

} // namespace RecordLayout
