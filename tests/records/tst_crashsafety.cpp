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

#include <functional>

namespace {

constexpr int Kills = 25; // per writer; a longer run: TOLVENAR_CRASH_KILLS=500

int killCount()
{
    const int n = qEnvironmentVariableIntValue("TOLVENAR_CRASH_KILLS");
    return n > 0 ? n : Kills;
}

// Kills the driver in mode killCount() times, each after a random while once it is writing, and
// checks the files after each kill. before runs ahead of each start.
void killRuns(const QString &mode, quint32 seed, const std::function<void()> &before,
    const std::function<void()> &check)
{
    QRandomGenerator random(seed);
    for (int k = 0; k < killCount() && !QTest::currentTestFailed(); ++k) {
        if (before)
            before();
        QProcess p;
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/crashdriver"),
            { RecordFiles::appDirectory(), mode });
        QVERIFY2(p.waitForStarted(5000), qPrintable(p.errorString()));
        QVERIFY(p.waitForReadyRead(5000));
        QThread::usleep(random.bounded(200, 30000));
        // The last kill of a series waits for one finished write, so that a slow build (the
        // sanitizers) still shows whole new content at least once.
        if (k == killCount() - 1) {
            while (!p.readAllStandardOutput().contains("done") && p.state() == QProcess::Running)
                p.waitForReadyRead(10000);
        }
        if (p.state() != QProcess::Running)
            QFAIL(qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
        p.kill();
        QVERIFY(p.waitForFinished(5000));
        check();
    }
}

template <class Record>
QList<Record> readWhole(
    bool (*read)(const QString &, QList<Record> &, StoreError &, bool *), const QString &path)
{
    QList<Record> records;
    StoreError error;
    bool complete = false;
    if (!read(path, records, error, &complete) || !complete)
        QTest::qFail("the file is unreadable or ends in a torn slot", __FILE__, __LINE__);
    return records;
}

QString numbered(const char *prefix, int i)
{
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        RecordFiles::setAppDirectory(m_dir.path());
        QFile::remove(RecordFiles::gearPath());
        QFile::remove(RecordFiles::bearingPath());
    }

    void rewriteKeepsCatalogueWhole()
    {
        QVERIFY(QFile(RecordFiles::bearingPath()).open(QIODevice::WriteOnly)); // empty at first
        QList<int> seen;
        killRuns(QStringLiteral("rewrite"), 20261206, {}, [&] {
            QVERIFY2(QFile::exists(RecordFiles::bearingPath()), "bearing.sav is missing");
            QCOMPARE(QFile(RecordFiles::bearingPath()).size() % RecordLayout::BearingSlot, 0);
            const auto records
                = readWhole(&RecordFiles::readBearingRecords, RecordFiles::bearingPath());
            if (records.isEmpty())
                return; // killed before the first rewrite finished
            // One generation, whole: its count, its models in order, one Cr throughout.
            const int g = static_cast<int>(records.first().Cr);
            QCOMPARE(records.size(), 100 + 50 * (g % 2));
            for (int i = 0; i < records.size(); ++i) {
                QCOMPARE(records[i].Model.trimmed(), numbered("M", i));
                QCOMPARE(records[i].Cr, static_cast<float>(g));
            }
            seen.append(g);
        });
        QVERIFY2(!seen.isEmpty(), "the writer never completed a rewrite");
    }

    void appendLeavesNoTornRecord()
    {
        // Each run starts over from record 0, so the file goes first to keep the numbering.
        killRuns(
            QStringLiteral("append"), 7, [] { QFile::remove(RecordFiles::gearPath()); },
            [] {
                const auto records
                    = readWhole(&RecordFiles::readShaftRecords, RecordFiles::gearPath());
                for (int i = 0; i < records.size(); ++i) {
                    QCOMPARE(records[i].ShaftNo.trimmed(), numbered("S", i));
                    QCOMPARE(records[i].P1, static_cast<float>(i));
                    QCOMPARE(records[i].n, static_cast<float>(2 * i));
                }
            });
    }

    void replaceLeavesNoTornRecord()
    {
        StoreError error;
        for (int i = 0; i < 50; ++i) {
            ShaftRecord s;
            s.ShaftNo = numbered("S", i);
            QVERIFY(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), s, error));
        }
        killRuns(QStringLiteral("replace"), 11, {}, [] {
            const auto records = readWhole(&RecordFiles::readShaftRecords, RecordFiles::gearPath());
            QCOMPARE(records.size(), 50);
            for (int i = 0; i < 50; ++i) {
                QCOMPARE(records[i].ShaftNo.trimmed(), numbered("S", i));
                QCOMPARE(records[i].n, 2 * records[i].P1); // both halves of one write
            }
        });
    }

    // Two copies of the program appending to gear.sav at once: the lock makes one wait for the
    // other, so neither loses a record.
    void twoWritersLoseNothing()
    {
        QProcess p;
        p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/crashdriver"),
            { RecordFiles::appDirectory(), QStringLiteral("append") });
        QVERIFY(p.waitForStarted(5000));
        while (!p.readAllStandardOutput().contains("done") && p.state() == QProcess::Running)
            p.waitForReadyRead(10000);
        constexpr int Ours = 100;
        StoreError error;
        for (int i = 0; i < Ours; ++i) {
            ShaftRecord s;
            s.ShaftNo = numbered("T", i);
            QVERIFY2(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), s, error),
                qPrintable(error.text()));
        }
        p.kill();
        QVERIFY(p.waitForFinished(5000));
        const auto records = readWhole(&RecordFiles::readShaftRecords, RecordFiles::gearPath());
        int ours = 0, theirs = 0;
        for (const ShaftRecord &r : records) {
            if (r.ShaftNo.startsWith(u'T'))
                QCOMPARE(r.ShaftNo.trimmed(), numbered("T", ours++));
            else
                QCOMPARE(r.ShaftNo.trimmed(), numbered("S", theirs++));
        }
        QCOMPARE(ours, Ours);
        QVERIFY(theirs > 1);
    }

    void mergeLeavesCatalogueWhole()
    {
        int merged = 0;
        // Each run starts over from merge 1.
        killRuns(
            QStringLiteral("merge"), 13, [] { QFile::remove(RecordFiles::bearingPath()); },
            [&] {
                const auto records
                    = readWhole(&RecordFiles::readBearingRecords, RecordFiles::bearingPath());
                // Whole merges only: blocks of 1000, each all of one merge, in order.
                QCOMPARE(records.size() % 1000, 0);
                for (int i = 0; i < records.size(); ++i) {
                    const int g = i / 1000 + 1;
                    QCOMPARE(records[i].Model.trimmed(),
                        QStringLiteral("K%1-%2")
                            .arg(g, 5, 10, QLatin1Char('0'))
                            .arg(i % 1000, 4, 10, QLatin1Char('0')));
                    QCOMPARE(records[i].Cr, float(g + 1));
                }
                merged += int(records.size() / 1000);
            });
        QVERIFY2(merged > 0, "the writer never completed a merge");
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
