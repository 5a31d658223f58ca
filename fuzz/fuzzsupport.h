#pragma once

// Fuzz target helpers: a failed invariant aborts with its text; record files go to tmpfs.

#include "records/records.h"

#include <QtCore>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                           \
    ((cond) ? void()                                                                               \
            : (std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond),   \
                std::abort()))

namespace FuzzSupport {

// The run's own folder, in memory where /dev/shm is there, removed at exit.
inline QString scratchDir()
{
    static const QTemporaryDir dir(
        (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath())
        + QStringLiteral("/tolvenar-fuzz-XXXXXX"));
    return dir.path();
}

inline QString putFile(const QString &name, const char *data, qsizetype size)
{
    QFile f(scratchDir() + u'/' + name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data, size) == size
        ? f.fileName()
        : (std::abort(), QString());
}
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One slot of exactly slotSize bytes, zero-filled, on the heap so a read past its end is seen.
inline std::unique_ptr<char[]> exactSlot(const std::uint8_t *data, std::size_t size, int slotSize)
{
    auto slot = std::make_unique<char[]>(std::size_t(slotSize));
    std::copy_n(data, std::min(size, std::size_t(slotSize)), slot.get());
    return slot;
}

// A bearing record as bearing.sav stores and reads it back.
inline BearingRecord stored(const BearingRecord &r)
{
    return RecordLayout::decodeBearing(RecordLayout::encodeBearing(r).constData());
}

inline bool finiteFactors(const BearingRecord &r)
{
    return std::isfinite(r.e) && std::isfinite(r.Y1) && std::isfinite(r.Y2) && std::isfinite(r.Cr);
}

// e, Y1, Y2 and Cr read back from six-character columns keep their sign and order of magnitude.
inline bool factorsShown(const BearingRecord &shown, const BearingRecord &read)
{
    const auto same = [](float s, float r) {
        return s == 0 || !std::isfinite(s) ? r == 0 || !std::isfinite(s)
                                           : std::signbit(s) == std::signbit(r)
                && std::fabs(r) >= std::fabs(s) / 10 && std::fabs(r) <= std::fabs(s) * 10;
    };
    return same(shown.e, read.e) && same(shown.Y1, read.Y1) && same(shown.Y2, read.Y2)
        && same(shown.Cr, read.Cr);
}

// The merger's plausibility check written out from a slot's raw bytes (bytes that are not GBK
// decode to replacement marks).
inline bool plausibleBytes(const char *slot)
{
    const auto at
        = [slot](int i) { return std::bit_cast<float>(qFromLittleEndian<quint32>(slot + i)); };
    const QString model
        = RecordLayout::decodeText(slot, RecordLayout::ModelWidth).replace(QChar(0), u' ');
    return !model.trimmed().isEmpty() && !model.contains(QChar::ReplacementCharacter)
        && uchar(slot[12]) < 5 && 0 <= at(19) && at(19) < 1 && 0 <= at(23) && at(23) < 10
        && 0 <= at(27) && at(27) < 10 && 1 < at(31) && at(31) < 20000;
}

} // namespace FuzzSupport
