// Each record file writer (crashdriver) killed at random moments leaves the file whole: the old or
// the new content, never a torn slot or a missing catalogue; two copies appending lose nothing.

#include "records/recordfile.h"

#include <QtTest>

using namespace RecordFiles;

namespace {

const int Kills = qEnvironmentVariable("TOLVENAR_CRASH_KILLS", u"25"_qs).toInt(); // per writer

// Records as "name=value" (Cr; P1); fails on an unreadable file, a torn slot, a shaft's n != 2 P1.
QStringList readWhole(bool bearings)
{
    QStringList out;
    const auto b = readBearingRecords(bearingPath());
    const auto s = readShaftRecords(gearPath());
    for (const BearingRecord &r : (bearings && b) ? b->records : QList<BearingRecord>())
        out << r.Model.trimmed() + u'=' + QString::number(r.Cr);
    for (const ShaftRecord &r : (!bearings && s) ? s->records : QList<ShaftRecord>())
        out << r.ShaftNo.trimmed() + u'=' + QString::number(r.n == 2 * r.P1 ? r.P1 : -1);
    if ((bearings ? !b || !b->complete : !s || !s->complete) || out.join(u' ').contains(u"=-1"))
        QTest::qFail("the file is unreadable or holds a torn record", __FILE__, __LINE__);
    return out;
}

} // namespace

class TestCrashSafety : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    static QString numbered(QChar p, int i) { return p + u"%1"_qs.arg(i, 5, 10, QLatin1Char('0')); }
    static auto append(QChar p, int i)
    {
        return appendShaftRecord(gearPath(), { numbered(p, i), 0, 0, 0, 0, 0, {}, 0, 0, {}, {} });
    }

private slots:
    void init() { setAppDirectory(m_dir.emplace().path()); }

    // Each driver writer killed at random (what each writes: crashdriver.cpp), one generation or
    // merge whole; two: we append T<i> while the driver appends, neither lost.
    void killedWriterLeavesFilesWhole_data()
    {
        QTest::addColumn<QString>("mode");
        for (const char *mode : { "rewrite", "append", "replace", "merge" })
            QTest::newRow(mode) << QString::fromLatin1(mode);
        QTest::newRow("two copies appending") << u"append"_qs;
    }
    void killedWriterLeavesFilesWhole()
    {
        QFETCH(QString, mode);
        const bool rewrite = mode == u"rewrite", merge = mode == u"merge",
                   replace = mode == u"replace";
        const bool two = QLatin1String(QTest::currentDataTag()) != mode;
        QVERIFY(!rewrite || QFile(bearingPath()).open(QIODevice::WriteOnly)); // empty at first
        for (int i = 0; replace && i < 50; ++i)
            QVERIFY(append(u'S', i));
        QRandomGenerator random(qHash(mode));
        for (int k = 0; k < (two ? 1 : Kills) && !QTest::currentTestFailed(); ++k) {
            if (merge || mode == u"append") // each run starts over from record 0
                QFile::remove(merge ? bearingPath() : gearPath());
            QProcess p; // prints "ready" before its first write, "done" after it
            p.start(QCoreApplication::applicationDirPath() + u"/crashdriver"_qs,
                { appDirectory(), mode });
            QVERIFY(p.waitForStarted(5000) && p.waitForReadyRead(5000));
            QThread::usleep(random.bounded(200, 30000));
            while ((k == Kills - 1 || two) && !p.readAllStandardOutput().contains("done")
                && p.state() == QProcess::Running) // a finished write: a slow build shows one too
                p.waitForReadyRead(10000);
            for (int i = 0; two && i < 100; ++i)
                QVERIFY(append(u'T', i));
            QVERIFY2(p.state() == QProcess::Running, p.readAllStandardError().constData());
            p.kill();
            QVERIFY(p.waitForFinished(5000));
            QVERIFY2(!rewrite || QFile::exists(bearingPath()), "bearing.sav is missing");
            const QStringList got = readWhole(rewrite || merge);
            const int g = got.value(0).section(u'=', 1).toInt();
            QHash<QChar, int> count; // records of each writer, each numbered on from 0
            for (const QString &r : got) {
                const QChar c = rewrite || merge ? u'M' : two && r[0] == u'T' ? u'T' : u'S';
                const int i = count[c]++;
                const int own = c == u'T' ? 0 : replace ? r.section(u'=', 1).toInt() : i;
                const int v = rewrite ? g : merge ? i / 1000 + 2 : own;
                QCOMPARE(r, numbered(c, i) + u'=' + QString::number(v));
            }
            QVERIFY(rewrite ? got.isEmpty() || got.size() == 100 + 50 * (g % 2)
                            : !merge || got.size() % 1000 == 0);
            QVERIFY(two ? count[u'T'] == 100 && count[u'S'] > 1 : !replace || got.size() == 50);
            QVERIFY(k < Kills - 1 || (!got.isEmpty() && (!replace || g > 0))); // shows a write
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
