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

using namespace RecordFiles;

namespace {

// Kills per writer; a longer run: TOLVENAR_CRASH_KILLS=500.
const int Kills = qEnvironmentVariableIntValue("TOLVENAR_CRASH_KILLS") > 0
    ? qEnvironmentVariableIntValue("TOLVENAR_CRASH_KILLS")
    : 25;

void startDriver(QProcess &p, const QString &mode)
{
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/crashdriver"),
        { appDirectory(), mode });
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
QList<Record> readWhole(Result<RecordList<Record>> (*read)(const QString &), const QString &path)
{
    const auto list = read(path);
    if (!list || !list->complete)
        QTest::qFail("the file is unreadable or ends in a torn slot", __FILE__, __LINE__);
    return list ? list->records : QList<Record>();
}

QString numbered(const char *prefix, int i)
{
    return QString::fromLatin1(prefix) + QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
}

bool append(const char *prefix, int i)
{
    ShaftRecord s;
    s.ShaftNo = numbered(prefix, i);
    return appendShaftRecord(gearPath(), s).ok();
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void init()
    {
        setAppDirectory(m_dir.path());
        QFile::remove(gearPath());
        QFile::remove(bearingPath());
    }

    // The driver's modes and their random seeds.
    void killedWriterLeavesFilesWhole_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("rewrite") << 20261206U;
        QTest::newRow("append") << 7U;
        QTest::newRow("replace") << 11U;
        QTest::newRow("merge") << 13U;
    }
    void killedWriterLeavesFilesWhole()
    {
        QFETCH(quint32, seed);
        const QString mode = QString::fromLatin1(QTest::currentDataTag());
        const bool rewrite = mode == u"rewrite", merge = mode == u"merge";
        if (rewrite)
            QVERIFY(QFile(bearingPath()).open(QIODevice::WriteOnly)); // empty at first
        for (int i = 0; mode == u"replace" && i < 50; ++i)
            QVERIFY(append("S", i));
        QRandomGenerator random(seed);
        int completed = 0; // whole writes seen
        for (int k = 0; k < Kills && !QTest::currentTestFailed(); ++k) {
            if (mode == u"append" || merge) // each run starts over from record 0 (merge 1)
                QFile::remove(merge ? bearingPath() : gearPath());
            QProcess p;
            startDriver(p, mode);
            QVERIFY(p.waitForReadyRead(5000)); // "ready": about to write
            QThread::usleep(random.bounded(200, 30000));
            // The last kill waits for one finished write: a slow (sanitizer) build shows one too.
            if (k == Kills - 1)
                waitDone(p);
            if (p.state() != QProcess::Running)
                QFAIL(qPrintable(QString::fromLocal8Bit(p.readAllStandardError())));
            p.kill();
            QVERIFY(p.waitForFinished(5000));

            if (rewrite || merge) {
                QVERIFY2(merge || QFile::exists(bearingPath()), "bearing.sav is missing");
                const auto records = readWhole(&readBearingRecords, bearingPath());
                // Rewrite: one generation g whole, 100 + 50 * (g % 2) bearings M<i>, Cr = g.
                // Merge: whole merges only, blocks of 1000 bearings K<g>-<i>, Cr = g + 1.
                const int g = records.isEmpty() ? 0 : int(records.first().Cr);
                if (!records.isEmpty())
                    QCOMPARE(records.size(),
                        rewrite ? 100 + 50 * (g % 2) : records.size() / 1000 * 1000);
                for (int i = 0; i < records.size(); ++i) {
                    QCOMPARE(records[i].Model.trimmed(),
                        rewrite ? numbered("M", i)
                                : numbered("K", i / 1000 + 1) + numbered("-", i % 1000));
                    QCOMPARE(records[i].Cr, rewrite ? float(g) : float(i / 1000 + 2));
                }
                completed += rewrite ? !records.isEmpty() : int(records.size() / 1000);
                continue;
            }
            const auto records = readWhole(&readShaftRecords, gearPath());
            if (mode == u"replace")
                QCOMPARE(records.size(), 50);
            for (int i = 0; i < records.size(); ++i) {
                QCOMPARE(records[i].ShaftNo.trimmed(), numbered("S", i));
                if (mode == u"append")
                    QCOMPARE(records[i].P1, float(i)); // replace: P1 = the write's count
                QCOMPARE(records[i].n, 2 * records[i].P1); // both halves of one write
            }
            completed += mode == u"append" ? !records.isEmpty() : records.value(0).P1 > 0;
        }
        QVERIFY2(completed > 0, "the writer never completed a write");
    }

    // Two copies of the program appending to gear.sav at once: the lock makes one wait for the
    // other, so neither loses a record.
    void twoWritersLoseNothing()
    {
        QProcess p;
        startDriver(p, QStringLiteral("append"));
        waitDone(p);
        constexpr int Ours = 100;
        for (int i = 0; i < Ours; ++i)
            QVERIFY(append("T", i));
        p.kill();
        QVERIFY(p.waitForFinished(5000));
        int ours = 0, theirs = 0;
        for (const ShaftRecord &r : readWhole(&readShaftRecords, gearPath()))
            QCOMPARE(r.ShaftNo.trimmed(),
                r.ShaftNo.startsWith(u'T') ? numbered("T", ours++) : numbered("S", theirs++));
        QCOMPARE(ours, Ours);
        QVERIFY(theirs > 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
