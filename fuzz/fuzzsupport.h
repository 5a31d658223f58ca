#pragma once

// Fuzz target helpers: a failed invariant aborts with its text; record files go to tmpfs.

#include "records/records.h"

#include <QDir>
#include <QFile>

#include <cmath>
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

// e, Y1, Y2 and Cr read back from six-character columns keep their sign and order of magnitude.
inline bool factorsShown(const BearingRecord &shown, const BearingRecord &read)
{
    const auto same = [](float s, float r) {
        if (s == 0 || !std::isfinite(s))
            return r == 0 || !std::isfinite(s);
        return std::signbit(s) == std::signbit(r) && std::fabs(r) >= std::fabs(s) / 10
            && std::fabs(r) <= std::fabs(s) * 10;
    };
    return same(shown.e, read.e) && same(shown.Y1, read.Y1) && same(shown.Y2, read.Y2)
        && same(shown.Cr, read.Cr);
}

} // namespace FuzzSupport
