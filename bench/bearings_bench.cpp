// The bearing data manager with a full catalogue of 32767 bearings: sorting the lines and
// rewriting bearing.sav from them, and loading the catalogue into the window's list (at most twice
// reading and decoding the file).

#include "catalogue/catalogue.h"
#include "catalogue/editerline.h"
#include "records/recordfile.h"
#include "ui/bearings/frmediter.h"
#include "ui/common/prompter.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

class SilentPrompter : public Prompter
{
public:
    int message(const QString &, const QString &, int, Icon, int defaultButton) override
    {
        return defaultButton;
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
};

// A catalogue in random order: 400 series prefixes in mixed case, all five types, bores from
// 10 to 500 mm, factors with more digits than a column shows.
QList<BearingRecord> randomCatalogue()
{
    std::mt19937 random(7);
    const QString letters = QStringLiteral("NJUHQBCZ");
    QList<BearingRecord> records;
    for (int i = 0; i < RecordLayout::MaxRecords; ++i) {
        const unsigned series = random() % 400;
        QString prefix = QString::number(series % 100).rightJustified(2, u'0');
        prefix.prepend(
            series < 200 ? QChar(u'0' + char(series % 10)) : letters.at(qsizetype(series % 8)));
        if (series % 3 == 0)
            prefix = prefix.toLower();
        BearingRecord r;
        r.Model = prefix + QString::number(i);
        r.Type = static_cast<std::uint8_t>(random() % 5);
        r.d = static_cast<std::int16_t>(10 + random() % 491);
        r.D = static_cast<std::int16_t>(r.d * 2);
        r.B = static_cast<std::int16_t>(r.d / 3);
        r.e = 0.2345678f;
        r.Y1 = 1.734567f;
        r.Y2 = 0.9876543f;
        r.Cr = 1234.567f;
        records.append(r);
    }
    return records;
}

// A full random catalogue in bearing.sav of a fresh folder; false (the benchmark skipped) when it
// could not be written.
bool writeCatalogue(benchmark::State &state, const QTemporaryDir &dir)
{
    RecordFiles::setAppDirectory(dir.path());
    const Result<> written
        = RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), randomCatalogue());
    if (!written)
        state.SkipWithError(qPrintable(written.error().text()));
    return written.ok();
}

void BM_SortAndRewrite(benchmark::State &state)
{
    QTemporaryDir dir;
    RecordFiles::setAppDirectory(dir.path());
    QStringList shuffled;
    for (const BearingRecord &r : randomCatalogue())
        shuffled.append(EditerLine::fromRecord(r));
    BearingCatalogue::Catalogue read;
    for (auto _ : state) {
        QStringList lines = shuffled;
        BearingCatalogue::sortLines(lines);
        const auto stored = BearingCatalogue::store(RecordFiles::bearingPath(), read, lines, false);
        if (!stored)
            state.SkipWithError(qPrintable(stored.error().text()));
        benchmark::DoNotOptimize(lines);
    }
    state.SetItemsProcessed(state.iterations() * shuffled.size());
}
BENCHMARK(BM_SortAndRewrite)->Unit(benchmark::kMillisecond);

// Reading and decoding bearing.sav: what loading the list costs at the least.
void BM_ReadCatalogue(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!writeCatalogue(state, dir))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(RecordFiles::readBearingRecords(RecordFiles::bearingPath()).ok());
}
BENCHMARK(BM_ReadCatalogue)->Unit(benchmark::kMillisecond);

// The data manager's reading: the records with the file's fingerprint, kept to store against.
void BM_LoadCatalogue(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!writeCatalogue(state, dir))
        return;
    for (auto _ : state)
        benchmark::DoNotOptimize(BearingCatalogue::load(RecordFiles::bearingPath()).ok());
}
BENCHMARK(BM_LoadCatalogue)->Unit(benchmark::kMillisecond);

// Opening: the window built, bearing.sav read into the list, shown and painted; with no records
// (range 0) the cost of the window alone, which does not grow with the catalogue.
void BM_OpenDataManager(benchmark::State &state)
{
    QTemporaryDir dir;
    RecordFiles::setAppDirectory(dir.path());
    if (state.range(0) > 0 && !writeCatalogue(state, dir))
        return;
    SilentPrompter prompter;
    for (auto _ : state) {
        auto window = std::make_unique<frmEditer>(prompter);
        window->show();
        QApplication::processEvents();
        window->repaint();
        state.PauseTiming();
        window.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenDataManager)->Arg(0)->Arg(RecordLayout::MaxRecords)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
