// Kills each writer of the record files (crashdriver) at random moments and checks that every
// file reads back whole afterwards: the old or the new content, never a torn slot, never a missing
// catalogue; and two copies appending at once lose nothing.

#include "records/recordfile.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

// Kills per writer; a longer run: TOLVENAR_CRASH_KILLS=500.
int killCount()
{
    const int n = qEnvironmentVariableIntValue("TOLVENAR_CRASH_KILLS");
    return n > 0 ? n : 25;
}

void startDriver(QProcess &p, const QString &mode)
{
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/crashdriver"),
        { RecordFiles::appDirectory(), mode });
    QVERIFY2(p.waitForStarted(5000), qPrintable(p.errorString()));
}

// Waits until the driver has finished its first write.
void waitDone(QProcess &p)
{
    while (!p.readAllStandardOutput().contains("done") && p.state() == QProcess::Running)
        p.waitForReadyRead(10000);
}

// The file's records; fails the test when it is unreadable or ends in a torn slot.
template <class Record>
QList<Record> readWhole(
    Result<RecordFiles::RecordList<Record>> (*read)(const QString &), const QString &path)
{
    const auto list = read(path);
    if (!list || !list->complete) {
        QTest::qFail("the file is unreadable or ends in a torn slot", __FILE__, __LINE__);
        return {};
    }
    return list->records;
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

    // The driver's modes (see crashdriver.cpp) and their random seeds.
    void killedWriterLeavesFilesWhole_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<quint32>("seed");
        for (const auto &[mode, seed] : { std::pair { "rewrite", 20261206U }, { "append", 7U },
                 { "replace", 11U }, { "merge", 13U } })
            QTest::newRow(mode) << QString::fromLatin1(mode) << quint32(seed);
    }
    void killedWriterLeavesFilesWhole()
    {
        QFETCH(QString, mode);
        QFETCH(quint32, seed);
        const bool rewrite = mode == QLatin1String("rewrite"),
                   merge = mode == QLatin1String("merge");
        const QString gear = RecordFiles::gearPath(), bearing = RecordFiles::bearingPath();
        if (rewrite)
            QVERIFY(QFile(bearing).open(QIODevice::WriteOnly)); // empty at first
        for (int i = 0; mode == QLatin1String("replace") && i < 50; ++i) {
            ShaftRecord s;
            s.ShaftNo = numbered("S", i);
            QVERIFY(RecordFiles::appendShaftRecord(gear, s));
        }
        QRandomGenerator random(seed);
        int completed = 0; // whole rewrites or merges seen
        for (int k = 0; k < killCount() && !QTest::currentTestFailed(); ++k) {
            if (mode == QLatin1String("append")) // each run starts over from record 0 (merge 1)
                QFile::remove(gear);
            if (merge)
                QFile::remove(bearing);
            QProcess p;
            startDriver(p, mode);
            QVERIFY(p.waitForReadyRead(5000)); // "ready": about to write
            QThread::usleep(random.bounded(200, 30000));
            // The last kill of a series waits for one finished write, so that a slow build (the
            // sanitizers) still shows whole new content at least once.
            if (k == killCount() - 1)
                waitDone(p);
            if (p.state() != QProcess::Running)
                QFAIL(qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
            p.kill();
            QVERIFY(p.waitForFinished(5000));

            if (rewrite) {
                QVERIFY2(QFile::exists(bearing), "bearing.sav is missing");
                QCOMPARE(QFile(bearing).size() % RecordLayout::BearingSlot, 0);
            }
            if (rewrite || merge) {
                const auto records = readWhole(&RecordFiles::readBearingRecords, bearing);
                // Rewrite: one generation g whole, 100 + 50 * (g % 2) bearings M<i>, Cr = g.
                // Merge: whole merges only, blocks of 1000 bearings K<g>-<i>, Cr = g + 1.
                const int g = records.isEmpty() ? 0 : int(records.first().Cr);
                if (rewrite && !records.isEmpty())
                    QCOMPARE(records.size(), 100 + 50 * (g % 2));
                if (merge)
                    QCOMPARE(records.size() % 1000, 0);
                for (int i = 0; i < records.size(); ++i) {
                    QCOMPARE(records[i].Model.trimmed(),
                        rewrite ? numbered("M", i)
                                : QStringLiteral("K%1-%2")
                                      .arg(i / 1000 + 1, 5, 10, QLatin1Char('0'))
                                      .arg(i % 1000, 4, 10, QLatin1Char('0')));
                    QCOMPARE(records[i].Cr, rewrite ? float(g) : float(i / 1000 + 2));
                }
                completed += rewrite ? !records.isEmpty() : int(records.size() / 1000);
                continue;
            }
            const auto records = readWhole(&RecordFiles::readShaftRecords, gear);
            if (mode == QLatin1String("replace"))
                QCOMPARE(records.size(), 50);
            for (int i = 0; i < records.size(); ++i) {
                QCOMPARE(records[i].ShaftNo.trimmed(), numbered("S", i));
                if (mode == QLatin1String("append"))
                    QCOMPARE(records[i].P1, float(i)); // replace: P1 = the write's count
                QCOMPARE(records[i].n, 2 * records[i].P1); // both halves of one write
            }
        }
        QVERIFY2(completed > 0 || !(rewrite || merge), "the writer never completed a write");
    }

    // Two copies of the program appending to gear.sav at once: the lock makes one wait for the
    // other, so neither loses a record.
    void twoWritersLoseNothing()
    {
        QProcess p;
        startDriver(p, QStringLiteral("append"));
        waitDone(p);
        constexpr int Ours = 100;
        for (int i = 0; i < Ours; ++i) {
            ShaftRecord s;
            s.ShaftNo = numbered("T", i);
            const auto appended = RecordFiles::appendShaftRecord(RecordFiles::gearPath(), s);
            QVERIFY2(appended, qPrintable(appended ? QString() : appended.error().text()));
        }
        p.kill();
        QVERIFY(p.waitForFinished(5000));
        int ours = 0, theirs = 0;
        for (const ShaftRecord &r :
            readWhole(&RecordFiles::readShaftRecords, RecordFiles::gearPath()))
            QCOMPARE(r.ShaftNo.trimmed(),
                r.ShaftNo.startsWith(u'T') ? numbered("T", ours++) : numbered("S", theirs++));
        QCOMPARE(ours, Ours);
        QVERIFY(theirs > 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
