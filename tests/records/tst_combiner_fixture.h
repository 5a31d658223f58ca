#pragma once

// Hand-made bearing.sav slots for the combiner tests: packed field by field as the file layout
// lays them out (model 12 bytes, type, d, D, B, e, Y1, Y2, Cr, 13 unused bytes).

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <bit>
#include <cstring>

namespace Fixture {

inline QByteArray slot(const QByteArray &model, quint8 type, float e, float Y1, float Y2, float Cr,
    qint16 d = 0, qint16 D = 0, qint16 B = 0, char unused = '\xEE')
{
    QByteArray s(48, unused);
    const QByteArray field = model.leftJustified(12, ' ', true);
    std::memcpy(s.data(), field.constData(), 12);
    s[12] = char(type);
    qToLittleEndian<qint16>(d, s.data() + 13);
    qToLittleEndian<qint16>(D, s.data() + 15);
    qToLittleEndian<qint16>(B, s.data() + 17);
    qToLittleEndian<quint32>(std::bit_cast<quint32>(e), s.data() + 19);
    qToLittleEndian<quint32>(std::bit_cast<quint32>(Y1), s.data() + 23);
    qToLittleEndian<quint32>(std::bit_cast<quint32>(Y2), s.data() + 27);
    qToLittleEndian<quint32>(std::bit_cast<quint32>(Cr), s.data() + 31);
    return s;
}

// A plausible bearing of the given model.
inline QByteArray bearing(const QByteArray &model)
{
    return slot(model, 0, 0.3f, 2.2f, 3.3f, 150.0f, 25, 52, 15);
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace Fixture
