// Merging a full source (32767 records) into a target, the record combiner's worst case: every
// source record is looked up among the target's models.

#include "catalogue/combiner.h"
#include "records/records.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr int Full = RecordLayout::MaxRecords;

QByteArray records(const char *prefix, int first, int count, bool lowerCase = false)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * RecordLayout::BearingSlot);
    for (int i = first; i < first + count; ++i) {
        BearingRecord r;
        r.Model = QString::fromLatin1(prefix) + QString::number(i);
        if (lowerCase)
            r.Model = r.Model.toLower();
        r.Type = std::uint8_t(i % 5);
        r.e = 0.3f;
        r.Y1 = 2.1f;
        r.Y2 = 3.2f;
        r.Cr = 150.0f;
        bytes += RecordLayout::encodeBearing(r);
    }
    return bytes;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// A full target and a full source whose models all differ from the target's only in case:
// 32767 lookups, nothing appended.
void BM_MergeFullSourceIntoFullTarget(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("bearing.sav"));
    const QString source = dir.filePath(QStringLiteral("other.sav"));
    write(target, records("BRG", 0, Full));
    write(source, records("BRG", 0, Full, true));
    for (auto _ : state) {
        const Combiner::MergeResult r
            = Combiner::mergeBearingFiles(source, target)->value_or(Combiner::MergeResult());
        if (r.added != 0)
            state.SkipWithError("unexpected additions");
        benchmark::DoNotOptimize(r.targetCount);
    }
}
BENCHMARK(BM_MergeFullSourceIntoFullTarget)->Unit(benchmark::kMillisecond);

// Half a target and a full source of which half is new: 16383 lookups that hit, 16384 records
// appended up to the limit of the file.
void BM_MergeFillingTheTarget(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("bearing.sav"));
    const QString source = dir.filePath(QStringLiteral("other.sav"));
    const int half = Full / 2;
    const QByteArray start = records("BRG", 0, half);
    write(source, records("BRG", 0, Full));
    for (auto _ : state) {
        state.PauseTiming();
        write(target, start);
        state.ResumeTiming();
        const Combiner::MergeResult r
            = Combiner::mergeBearingFiles(source, target)->value_or(Combiner::MergeResult());
        if (r.targetCount != Full)
            state.SkipWithError("target not filled");
        benchmark::DoNotOptimize(r.added);
    }
}
BENCHMARK(BM_MergeFillingTheTarget)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
