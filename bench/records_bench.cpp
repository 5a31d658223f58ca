// Lookups and appends in record files of 32767 records, the most a file can address.

#include "records/recordfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace RecordLayout;

namespace {

// A temporary application directory with a full gear.sav and bearing.sav.
class FullFiles
{
public:
    FullFiles()
    {
        RecordFiles::setAppDirectory(m_dir.path());
        QByteArray gear;
        QByteArray bearings;
        QByteArray chinese;
        gear.reserve(qsizetype(MaxRecords) * ShaftSlot);
        bearings.reserve(qsizetype(MaxRecords) * BearingSlot);
        for (int i = 1; i <= MaxRecords; ++i) {
            ShaftRecord shaft;
            shaft.ShaftNo = QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0'));
            shaft.P1 = shaft.P2 = 5.5f;
            shaft.ModelA = QStringLiteral("30207");
            gear += encodeShaft(shaft);
            BearingRecord bearing;
            bearing.Model = QStringLiteral("M%1").arg(i);
            bearing.Cr = 14;
            bearings += encodeBearing(bearing);
            bearing.Model = QStringLiteral("轴承%1").arg(i);
            chinese += encodeBearing(bearing);
        }
        write(RecordFiles::gearPath(), gear);
        write(RecordFiles::bearingPath(), bearings);
        m_bearings = bearings;
        m_chinese = chinese;
    }

    void useBearings(const QByteArray &bytes) { write(RecordFiles::bearingPath(), bytes); }
    const QByteArray &asciiBearings() const { return m_bearings; }
    const QByteArray &chineseBearings() const { return m_chinese; }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_bearings;
    QByteArray m_chinese;
};

FullFiles &files()
{
    static FullFiles f;
    return f;
}

void BM_FindShaftRecord_last(benchmark::State &state)
{
    files();
    const QString key = QStringLiteral("S32767");
    for (auto _ : state) {
        const ShaftRecord r = Module1::FindShaftRecord(key)->value_or(ShaftRecord());
        if (r.P1 != 5.5f)
            state.SkipWithError("not found");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_FindShaftRecord_last)->Unit(benchmark::kMillisecond);

void BM_FindShaftRecord_missing(benchmark::State &state)
{
    files();
    const QString key = QStringLiteral("NONE");
    for (auto _ : state)
        benchmark::DoNotOptimize(Module1::FindShaftRecord(key));
}
BENCHMARK(BM_FindShaftRecord_missing)->Unit(benchmark::kMillisecond);

void BM_FindBearingRecord_chineseLast(benchmark::State &state)
{
    files().useBearings(files().chineseBearings());
    const QString key = QStringLiteral("轴承32767");
    for (auto _ : state) {
        const BearingRecord r = Module1::FindBearingRecord(key)->value_or(BearingRecord());
        if (r.Cr != 14)
            state.SkipWithError("not found");
        benchmark::DoNotOptimize(r);
    }
    files().useBearings(files().asciiBearings());
}
BENCHMARK(BM_FindBearingRecord_chineseLast)->Unit(benchmark::kMillisecond);

void BM_readShaftRecords(benchmark::State &state)
{
    files();
    for (auto _ : state) {
        const auto read = RecordFiles::readShaftRecords(RecordFiles::gearPath());
        benchmark::DoNotOptimize(read->records.size());
    }
}
BENCHMARK(BM_readShaftRecords)->Unit(benchmark::kMillisecond);

// AppendBearingRecord on a file of 32766 records: the whole duplicate scan, then the 32767th slot.
void BM_AppendBearingRecord_at32766(benchmark::State &state)
{
    files();
    const QString path = RecordFiles::bearingPath();
    const qint64 size32766 = qint64(MaxRecords - 1) * BearingSlot;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::resize(path, size32766);
        state.ResumeTiming();
        const auto added = Module1::AppendBearingRecord(QStringLiteral("NEW"), 0, 0, 0, 0, 1);
        if (!added || !*added)
            state.SkipWithError("append failed");
    }
    files().useBearings(files().asciiBearings());
}
BENCHMARK(BM_AppendBearingRecord_at32766)->Unit(benchmark::kMillisecond);

// The refusal at the limit costs the same scan.
void BM_AppendBearingRecord_full(benchmark::State &state)
{
    files();
    for (auto _ : state) {
        if (Module1::AppendBearingRecord(QStringLiteral("NEW"), 0, 0, 0, 0, 1).ok())
            state.SkipWithError("appended beyond the limit");
    }
}
BENCHMARK(BM_AppendBearingRecord_full)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
