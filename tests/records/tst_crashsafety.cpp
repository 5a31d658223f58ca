// Kills a writer of the record files at random moments and checks that every file reads back
// whole afterwards: the old or the new content, never a torn slot, never a missing catalogue.

#include "records/recordfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr int Kills = 25; // per writer; a longer run: TOLVENAR_CRASH_KILLS=500

int killCount()
{
    const int n = qEnvironmentVariableIntValue("TOLVENAR_CRASH_KILLS");
    return n > 0 ? n : Kills;
}

QString driverPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/crashdriver");
}

// Starts the driver, waits until it is writing, lets it run for a random while and kills it.
void runAndKill(const QString &dir, const QString &mode, QRandomGenerator &random)
{
    QProcess p;
    p.start(driverPath(), {dir, mode});
    QVERIFY2(p.waitForStarted(5000), qPrintable(p.errorString()));
    QVERIFY(p.waitForReadyRead(5000));
    QThread::usleep(random.bounded(200, 30000));
    if (p.state() != QProcess::Running)
        QFAIL(qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
    p.kill();
    QVERIFY(p.waitForFinished(5000));
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void rewriteKeepsCatalogueWhole();
    void appendLeavesNoTornRecord();
    void replaceLeavesNoTornRecord();
    void mergeLeavesCatalogueWhole();
    void saveParametersLeavesFilesWhole();
};

void TestCrashSafety::rewriteKeepsCatalogueWhole()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    {
        QFile empty(RecordFiles::bearingPath()); // the catalogue before the first rewrite
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }
    QRandomGenerator random(20261206);
    QList<int> seen;
    for (int k = 0; k < killCount(); ++k) {
        runAndKill(dir.path(), QStringLiteral("rewrite"), random);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(QFile::exists(RecordFiles::bearingPath()), "bearing.sav is missing");
        QCOMPARE(QFile(RecordFiles::bearingPath()).size() % RecordLayout::BearingSlot, 0);
        QList<BearingRecord> records;
        StoreError error;
        bool complete = false;
        QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), records, error,
                                                &complete));
        QVERIFY(complete);
        if (records.isEmpty())
            continue; // killed before the first rewrite finished: the empty file it started with
        // One generation, whole: its count, its models in order, one Cr throughout.
        const int g = static_cast<int>(records.first().Cr);
        QCOMPARE(records.size(), 100 + 50 * (g % 2));
        for (int i = 0; i < records.size(); ++i) {
            QCOMPARE(records[i].Model.trimmed(),
                     QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0')));
            QCOMPARE(records[i].Cr, static_cast<float>(g));
        }
        seen.append(g);
    }
    QVERIFY2(!seen.isEmpty(), "the writer never completed a rewrite");
}

void TestCrashSafety::appendLeavesNoTornRecord()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    QRandomGenerator random(7);
    for (int k = 0; k < killCount(); ++k) {
        // Each run starts over from record 0, so shrink the file back to keep the numbering.
        QFile::remove(RecordFiles::gearPath());
        runAndKill(dir.path(), QStringLiteral("append"), random);
        if (QTest::currentTestFailed())
            return;
        QList<ShaftRecord> records;
        StoreError error;
        bool complete = false;
        QVERIFY(RecordFiles::readShaftRecords(RecordFiles::gearPath(), records, error, &complete));
        QVERIFY2(complete, "gear.sav ends in a torn slot");
        for (int i = 0; i < records.size(); ++i) {
            QCOMPARE(records[i].ShaftNo.trimmed(),
                     QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0')));
            QCOMPARE(records[i].P1, static_cast<float>(i));
            QCOMPARE(records[i].n, static_cast<float>(2 * i));
        }
    }
}

void TestCrashSafety::replaceLeavesNoTornRecord()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    StoreError error;
    for (int i = 0; i < 50; ++i) {
        ShaftRecord s;
        s.ShaftNo = QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0'));
        QVERIFY(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), s, error));
    }
    QRandomGenerator random(11);
    for (int k = 0; k < killCount(); ++k) {
        runAndKill(dir.path(), QStringLiteral("replace"), random);
        if (QTest::currentTestFailed())
            return;
        QList<ShaftRecord> records;
        bool complete = false;
        QVERIFY(RecordFiles::readShaftRecords(RecordFiles::gearPath(), records, error, &complete));
        QVERIFY(complete);
        QCOMPARE(records.size(), 50);
        for (int i = 0; i < 50; ++i) {
            QCOMPARE(records[i].ShaftNo.trimmed(),
                     QStringLiteral("S%1").arg(i, 5, 10, QLatin1Char('0')));
            QCOMPARE(records[i].n, 2 * records[i].P1); // both halves of one write
        }
    }
}

void TestCrashSafety::mergeLeavesCatalogueWhole()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    QRandomGenerator random(13);
    int merged = 0;
    for (int k = 0; k < killCount(); ++k) {
        QFile::remove(RecordFiles::bearingPath()); // each run starts over from merge 1
        runAndKill(dir.path(), QStringLiteral("merge"), random);
        if (QTest::currentTestFailed())
            return;
        QList<BearingRecord> records;
        StoreError error;
        bool complete = false;
        QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), records, error,
                                                &complete));
        QVERIFY2(complete, "bearing.sav ends in a torn slot");
        // Whole merges only: blocks of 1000, each all of one merge, in order.
        QCOMPARE(records.size() % 1000, 0);
        for (int i = 0; i < records.size(); ++i) {
            const int g = i / 1000 + 1;
            QCOMPARE(records[i].Model.trimmed(), QStringLiteral("K%1-%2")
                .arg(g, 5, 10, QLatin1Char('0')).arg(i % 1000, 4, 10, QLatin1Char('0')));
            QCOMPARE(records[i].Cr, float(g + 1));
        }
        merged += int(records.size() / 1000);
    }
    QVERIFY2(merged > 0, "the writer never completed a merge");
}

void TestCrashSafety::saveParametersLeavesFilesWhole()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    RecordFiles::setAppDirectory(dir.path());
    QRandomGenerator random(17);
    for (int k = 0; k < killCount(); ++k) {
        // The files stay from run to run: each run saves numbers S00, S01, ... again, replacing
        // them, and appends only bearings that are new.
        runAndKill(dir.path(), QStringLiteral("save"), random);
        if (QTest::currentTestFailed())
            return;
        QList<ShaftRecord> shafts;
        QList<BearingRecord> bearings;
        StoreError error;
        bool gearWhole = false, bearingWhole = false;
        QVERIFY(RecordFiles::readShaftRecords(RecordFiles::gearPath(), shafts, error, &gearWhole));
        QVERIFY(RecordFiles::readBearingRecords(RecordFiles::bearingPath(), bearings, error,
                                                &bearingWhole));
        QVERIFY2(gearWhole && bearingWhole, "a record file ends in a torn slot");
        QVERIFY(shafts.size() <= 20);
        for (int i = 0; i < shafts.size(); ++i) {
            QCOMPARE(shafts[i].ShaftNo.trimmed(),
                     QStringLiteral("S%1").arg(i, 2, 10, QLatin1Char('0')));
            QCOMPARE(shafts[i].n, 2 * shafts[i].P1); // both halves of one write
        }
        for (int i = 0; i < bearings.size(); ++i) {
            QCOMPARE(bearings[i].Model.trimmed(), QStringLiteral("%1%2")
                .arg(QLatin1Char(i % 2 ? 'B' : 'A')).arg(i / 2 + 1, 5, 10, QLatin1Char('0')));
            QCOMPARE(bearings[i].Cr, 150.0f);
        }
    }
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
