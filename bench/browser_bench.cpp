// The record browser over a gear.sav and a bearing.sav of 32767 records each (the most a record
// number can address): opening the window, switching views and filtering must each stay well
// under half a second; opening a list costs at most twice reading and decoding its file.

#include "records/recordfile.h"
#include "ui/browser/frmview.h"
#include "ui/browser/mainwindowlink.h"
#include "ui/common/prompter.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

class SilentPrompter : public Prompter
{
public:
    int message(const QString &text, const QString &, int, Icon, int defaultButton) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return defaultButton;
    }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
};

class NoMainWindow : public MainWindowLink
{
public:
    void recallShaftNumber(const QString &) override { }
    void copyBearing(QChar, const QString &, const QString &, const QString &, const QString &,
        const QString &, int) override
    {
    }
};

SilentPrompter prompter;
NoMainWindow link;

bool writeCatalogues()
{
    QByteArray gears;
    QByteArray bearings;
    gears.reserve(qsizetype(RecordLayout::MaxRecords) * RecordLayout::ShaftSlot);
    bearings.reserve(qsizetype(RecordLayout::MaxRecords) * RecordLayout::BearingSlot);
    for (int i = 0; i < RecordLayout::MaxRecords; ++i) {
        ShaftRecord s;
        s.ShaftNo = QStringLiteral("ZJ-%1").arg(i, 5, 10, QLatin1Char('0'));
        s.P1 = 5.5f + float(i % 100);
        s.P2 = i % 3 == 0 ? s.P1 / 2 : s.P1;
        s.n = 960.5f;
        s.L = static_cast<std::int16_t>(200 + i % 400);
        s.ModelA = QStringLiteral("3%1").arg(i % 10000, 4, 10, QLatin1Char('0'));
        s.ModelB = QStringLiteral("NU2%1").arg(i % 100, 2, 10, QLatin1Char('0'));
        gears += RecordLayout::encodeShaft(s);

        BearingRecord b;
        b.Model = QStringLiteral("B%1").arg(i, 6, 10, QLatin1Char('0'));
        b.Type = static_cast<std::uint8_t>(i % 5);
        b.d = static_cast<std::int16_t>(10 + i % 491); // about 67 records per bore
        b.D = static_cast<std::int16_t>(2 * b.d);
        b.B = 20;
        b.e = 0.37f;
        b.Y1 = 1.6f;
        b.Y2 = 0.9f;
        b.Cr = 63.25f + float(i % 1000);
        bearings += RecordLayout::encodeBearing(b);
    }
    QFile g(RecordFiles::gearPath());
    QFile b(RecordFiles::bearingPath());
    return g.open(QIODevice::WriteOnly) && g.write(gears) == gears.size()
        && b.open(QIODevice::WriteOnly) && b.write(bearings) == bearings.size();
}

template <typename T> T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}

// Reading and decoding a file: what opening a list costs at the least.
void BM_ReadGearRecords(benchmark::State &state)
{
    for (auto _ : state) {
        const auto read = RecordFiles::readShaftRecords(RecordFiles::gearPath());
        benchmark::DoNotOptimize(read.ok());
    }
}

void BM_ReadBearingRecords(benchmark::State &state)
{
    for (auto _ : state) {
        const auto read = RecordFiles::readBearingRecords(RecordFiles::bearingPath());
        benchmark::DoNotOptimize(read.ok());
    }
}

// Opening: the window built, gear.sav read into lstGear, shown and painted.
void BM_OpenBrowser(benchmark::State &state)
{
    for (auto _ : state) {
        auto view = std::make_unique<frmView>(link, prompter);
        view->showAndLoad();
        QApplication::processEvents();
        state.PauseTiming();
        view.reset();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void switchViews(benchmark::State &state, bool toBearings)
{
    frmView view(link, prompter);
    view.showAndLoad();
    QApplication::processEvents();
    auto *bearings = child<QRadioButton>(&view, "optParameter_0");
    auto *gears = child<QRadioButton>(&view, "optParameter_1");
    for (auto _ : state) {
        state.PauseTiming();
        (toBearings ? gears : bearings)->click();
        QApplication::processEvents();
        state.ResumeTiming();
        (toBearings ? bearings : gears)->click();
        QApplication::processEvents();
    }
}

void BM_SwitchToBearings(benchmark::State &state)
{
    switchViews(state, true);
}

void BM_SwitchToShaftSystems(benchmark::State &state)
{
    switchViews(state, false);
}

void filter(benchmark::State &state, const QString &key)
{
    frmView view(link, prompter);
    view.showAndLoad();
    child<QRadioButton>(&view, "optParameter_0")->click();
    QApplication::processEvents();
    auto *txtDia = child<QLineEdit>(&view, "txtDia");
    auto *cmdSelect = child<QPushButton>(&view, "cmdSelect");
    for (auto _ : state) {
        txtDia->setText(key);
        cmdSelect->click();
        QApplication::processEvents();
    }
}

void BM_FilterByBore(benchmark::State &state)
{
    filter(state, QStringLiteral("40"));
}

void BM_FilterShowAll(benchmark::State &state)
{
    filter(state, QString());
}

} // namespace

BENCHMARK(BM_ReadGearRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadBearingRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenBrowser)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToBearings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SwitchToShaftSystems)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterByBore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterShowAll)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    RecordFiles::setAppDirectory(dir.path());
    if (!writeCatalogues()) {
        std::fprintf(stderr, "could not write the record files\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
