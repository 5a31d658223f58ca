#pragma once

// Fuzz target helpers: a failed invariant aborts with its text; record files go to tmpfs.

#include "catalogue/editerline.h"
#include "records/records.h"

#include <QtCore>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                           \
    ((cond) ? void()                                                                               \
            : (std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond),   \
                std::abort()))

namespace FuzzSupport {

using namespace Qt::StringLiterals;
using namespace RecordLayout;

// The run's own folder, in memory where /dev/shm is there, removed at exit.
inline QString scratchDir()
{
    static const QTemporaryDir dir((QDir(u"/dev/shm"_s).exists() ? u"/dev/shm"_s : QDir::tempPath())
        + u"/tolvenar-fuzz-XXXXXX");
    return dir.path();
}

inline QString putFile(const QString &name, const char *data, qsizetype size)
{
    QFile f(scratchDir() + u'/' + name);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data, size) == size);
    return f.fileName();
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
    return decodeBearing(encodeBearing(r).constData());
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

// Once stored, a line is stable: its model, type and dimensions at once, every value after that.
inline void checkLine(const QString &line)
{
    const auto storedAgain = [](const BearingRecord &r) {
        return EditerLine::toRecord(EditerLine::fromRecord(stored(r)));
    };
    const BearingRecord first = EditerLine::toRecord(line), second = storedAgain(first);
    const int type = EditerLine::typeOf(line);
    FUZZ_CHECK(first.Model == line.left(EditerLine::ModelWidth)
        && (type < 0 || type > 255 || first.Type == type));
    FUZZ_CHECK(encodeBearing(second).left(19) == encodeBearing(stored(first)).left(19));
    FUZZ_CHECK(
        !finiteFactors(second) || encodeBearing(storedAgain(second)) == encodeBearing(second));
}

} // namespace FuzzSupport
