#pragma once

// Shared by the fuzz targets: a failed invariant aborts with its text; record files read by path go
// to a scratch folder of this process on tmpfs.

#include "records/records.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#define FUZZ_CHECK(cond)                                                                           \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace FuzzSupport {

inline const QString &scratchDir()
{
    static const QString dir = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                       : QDir::tempPath();
        const QString path = base + QStringLiteral("/tolvenar-fuzz-") + QString::number(getpid());
        QDir().mkpath(path);
        std::atexit([] { QDir(scratchDir()).removeRecursively(); });
        return path;
    }();
    return dir;
}

inline QString putFile(const QString &name, const char *data, qsizetype size)
{
    const QString path = scratchDir() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data, size) != size)
        std::abort();
    return path;
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One slot of exactly slotSize bytes, zero-filled, on the heap so a read past its end is seen.
inline std::unique_ptr<char[]> exactSlot(const std::uint8_t *data, std::size_t size, int slotSize)
{
    auto slot = std::make_unique<char[]>(std::size_t(slotSize));
    for (std::size_t i = 0; i < std::size_t(slotSize); ++i)
        slot[i] = i < size ? char(data[i]) : '\0';
    return slot;
}

inline bool finiteFactors(const BearingRecord &r)
{
    return std::isfinite(r.e) && std::isfinite(r.Y1) && std::isfinite(r.Y2) && std::isfinite(r.Cr);
}

// A six-character column keeps a float's sign and order of magnitude.
inline bool sameMagnitude(float shown, float read)
{
    if (shown == 0 || !std::isfinite(shown))
        return read == 0 || !std::isfinite(shown);
    return std::signbit(shown) == std::signbit(read) && std::fabs(read) >= std::fabs(shown) / 10
        && std::fabs(read) <= std::fabs(shown) * 10;
}

// e, Y1, Y2 and Cr of two records, each to the magnitude its column shows.
inline bool factorsShown(const BearingRecord &shown, const BearingRecord &read)
{
    return sameMagnitude(shown.e, read.e) && sameMagnitude(shown.Y1, read.Y1)
        && sameMagnitude(shown.Y2, read.Y2) && sameMagnitude(shown.Cr, read.Cr);
}

} // namespace FuzzSupport
