#pragma once

// Helpers shared by the fuzz targets: a failed invariant stops the run with a message, and a
// scratch folder on tmpfs takes the record files that the code under test reads by path.

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

// A folder of this process on /dev/shm (the system's temporary folder when there is none).
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

// Replaces the file name in the scratch folder by bytes and returns its path.
inline QString putFile(const QString &name, const char *data, qsizetype size)
{
    const QString path = scratchDir() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data, size) != size)
        std::abort();
    return path;
}

// The input as one slot of exactly size bytes (zero-filled when short), on the heap so that the
// sanitizer sees any read past its end.
inline std::unique_ptr<char[]> exactSlot(const std::uint8_t *data, std::size_t size, int slotSize)
{
    auto slot = std::make_unique<char[]>(static_cast<std::size_t>(slotSize));
    for (int i = 0; i < slotSize; ++i)
        slot[i] = static_cast<std::size_t>(i) < size ? static_cast<char>(data[i]) : '\0';
    return slot;
}

// Whether the four factors of a bearing are numbers (no NaN, no infinity).
inline bool finiteFactors(const BearingRecord &r)
{
    return std::isfinite(r.e) && std::isfinite(r.Y1) && std::isfinite(r.Y2) && std::isfinite(r.Cr);
}

// A column of six characters keeps a float's sign and its order of magnitude.
inline bool sameMagnitude(float shown, float read)
{
    if (shown == 0)
        return read == 0;
    return std::signbit(shown) == std::signbit(read) && std::fabs(read) >= std::fabs(shown) / 10
        && std::fabs(read) <= std::fabs(shown) * 10;
}

} // namespace FuzzSupport
