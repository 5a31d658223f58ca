// Merging another record file's bearings into bearing.sav: duplicates (case ignored, this merge's
// own additions included) and implausible records are skipped, new ones appended unchanged.

#include "records/combiner.h"

#include "tst_combiner_fixture.h"

#include <QTemporaryDir>
#include <QTest>

#include <limits>

using Fixture::bearing;
using Fixture::slot;

class TestCombiner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_source;
    QString m_target;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        m_source = m_dir.filePath(QStringLiteral("other.sav"));
        m_target = m_dir.filePath(QStringLiteral("bearing.sav"));
        QFile::remove(m_source);
        QFile::remove(m_target);
    }

    void plausibility_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("added");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("ordinary bearing") << slot("22220", 0, 0.3f, 2.2f, 3.3f, 150) << 1;
        QTest::newRow("e = 0 and Y2 = 0 kept") << slot("30210", 1, 0, 1.6f, 0, 80) << 1;
        QTest::newRow("type 4 kept") << slot("7210", 4, 0, 0, 0, 50) << 1;
        QTest::newRow("type 5 rejected") << slot("X5", 5, 0.3f, 2, 3, 150) << 0;
        QTest::newRow("blank model rejected") << slot("", 0, 0.3f, 2, 3, 150) << 0;
        QTest::newRow("zero-filled model rejected")
            << slot(QByteArray(12, '\0'), 0, 0.3f, 2, 3, 150) << 0;
        QTest::newRow("e exactly 1 rejected") << slot("E1", 0, 1, 2, 3, 150) << 0;
        QTest::newRow("e negative rejected") << slot("EN", 0, -0.1f, 2, 3, 150) << 0;
        QTest::newRow("Cr exactly 1 rejected") << slot("CR1", 0, 0.3f, 2, 3, 1) << 0;
        QTest::newRow("Cr just above 1 kept") << slot("CR101", 0, 0.3f, 2, 3, 1.01f) << 1;
        QTest::newRow("Cr exactly 20000 rejected") << slot("CR20000", 0, 0.3f, 2, 3, 20000) << 0;
        QTest::newRow("Cr just below 20000 kept") << slot("CR19999", 0, 0.3f, 2, 3, 19999.5f) << 1;
        QTest::newRow("Cr not a number rejected") << slot("CRNAN", 0, 0.3f, 2, 3, nan) << 0;
        QTest::newRow("Y1 exactly 10 rejected") << slot("Y110", 0, 0.3f, 10, 3, 150) << 0;
        QTest::newRow("Y2 exactly 10 rejected") << slot("Y210", 0, 0.3f, 2, 10, 150) << 0;
    }

    void plausibility()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, added);
        QVERIFY(Fixture::write(m_target, bearing("6205")));
        QVERIFY(Fixture::write(m_source, record));
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QVERIFY(r.merged);
        QVERIFY(!r.error.failed());
        QCOMPARE(r.added, added);
        QCOMPARE(r.targetCount, 1 + added);
        QCOMPARE(Fixture::read(m_target).size(), (1 + added) * 48);
    }

    void duplicates_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("expectedTail"); // what the merge appends
        const QByteArray skf = bearing("SKF23052");
        QTest::newRow("model differing only in case is a duplicate")
            << skf << bearing("skf23052") << QByteArray();
        QTest::newRow("same model twice in the source: first one added once")
            << skf << bearing("NEW1") + slot("NEW1", 1, 0.4f, 1.5f, 0, 90) << bearing("NEW1");
        QTest::newRow("case variants inside the source: added once")
            << skf << bearing("Nu2205") + bearing("NU2205") << bearing("Nu2205");
        QTest::newRow("leading blank makes another model")
            << skf << bearing(" SKF23052") << bearing(" SKF23052");
        QTest::newRow("implausible first copy does not block a plausible second")
            << skf << slot("N3", 5, 0.3f, 2, 3, 150) + bearing("N3") << bearing("N3");
    }

    void duplicates()
    {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, expectedTail);
        QVERIFY(Fixture::write(m_target, target));
        QVERIFY(Fixture::write(m_source, source));
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QCOMPARE(r.added, int(expectedTail.size() / 48));
        const QByteArray after = Fixture::read(m_target);
        QCOMPARE(after.left(target.size()), target);
        const QByteArray tail = after.mid(target.size());
        QCOMPARE(tail.size(), expectedTail.size());
        for (qsizetype at = 0; at < tail.size(); at += 48)
            QCOMPARE(tail.mid(at, 35), expectedTail.mid(at, 35));
    }

    void mergingTheTargetIntoItselfAddsNothing()
    {
        const QByteArray records = bearing("6205") + bearing("22220") + bearing("SKF23052");
        QVERIFY(Fixture::write(m_target, records));
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_target, m_target);
        QVERIFY(r.merged);
        QCOMPARE(r.added, 0);
        QCOMPARE(r.targetCount, 3);
        QCOMPARE(Fixture::read(m_target), records);
        QCOMPARE(Combiner::mergeResultText(r.targetCount, r.added),
            QStringLiteral("目标文件中有 3 个记录  新增 0 个记录"));
    }

    void threeNewIntoTenAppendsThemUnchangedInSourceOrder()
    {
        QByteArray target;
        for (int i = 0; i < 10; ++i)
            target += bearing("T" + QByteArray::number(i));
        const QByteArray a = slot("NEWA", 1, 0.35f, 1.7f, 0, 64.5f, 50, 90, 20);
        const QByteArray b = slot("NEWB", 3, 0, 0, 0, 120, 60, 110, 22);
        const QByteArray c = slot("NEWC", 4, 0, 0, 0, 33.2f, 20, 47, 14);
        QVERIFY(Fixture::write(m_target, target));
        QVERIFY(Fixture::write(m_source, a + bearing("t3") + b + bearing("T9") + c));

        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QCOMPARE(r.added, 3);
        QCOMPARE(r.targetCount, 13);
        QCOMPARE(Combiner::mergeResultText(r.targetCount, r.added),
            QStringLiteral("目标文件中有 13 个记录  新增 3 个记录"));
        const QByteArray after = Fixture::read(m_target);
        QCOMPARE(after.size(), 13 * 48);
        QCOMPARE(after.left(10 * 48), target);
        // All nine fields byte for byte (d, D and B included); the unused bytes as blanks.
        QCOMPARE(after.mid(10 * 48, 35), a.left(35));
        QCOMPARE(after.mid(11 * 48, 35), b.left(35));
        QCOMPARE(after.mid(12 * 48, 35), c.left(35));
        QCOMPARE(after.mid(12 * 48 + 35, 13), QByteArray(13, ' '));
    }

    void noSourceDoesNothing_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("empty path") << QString();
        QTest::newRow("missing file") << m_dir.filePath(QStringLiteral("gone.sav"));
        QTest::newRow("a folder") << m_dir.path();
    }

    void noSourceDoesNothing()
    {
        QFETCH(QString, source);
        QVERIFY(Fixture::write(m_target, bearing("6205")));
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(source, m_target);
        QVERIFY(!r.merged);
        QVERIFY(!r.error.failed());
        QCOMPARE(Fixture::read(m_target), bearing("6205"));
    }

    void missingTargetIsCreated()
    {
        QVERIFY(Fixture::write(m_source, bearing("6205") + bearing("6206")));
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QCOMPARE(r.added, 2);
        QCOMPARE(Fixture::read(m_target).size(), 96);
    }

    void tornTailOfTheTarget()
    {
        const QByteArray whole = bearing("6205") + bearing("6206");
        const QByteArray torn = whole + QByteArray(20, 'x');
        QVERIFY(Fixture::write(m_target, torn));

        // Nothing to add: the file is left exactly as it was.
        QVERIFY(Fixture::write(m_source, bearing("6206")));
        QCOMPARE(Combiner::mergeBearingFiles(m_source, m_target).added, 0);
        QCOMPARE(Fixture::read(m_target), torn);

        // A new record replaces the torn tail.
        QVERIFY(Fixture::write(m_source, bearing("6207")));
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QCOMPARE(r.added, 1);
        QCOMPARE(r.targetCount, 3);
        const QByteArray after = Fixture::read(m_target);
        QCOMPARE(after.size(), 3 * 48);
        QCOMPARE(after.left(96), whole);
        QCOMPARE(after.mid(96, 35), bearing("6207").left(35));
    }

    void fullTargetStopsTheMergeAndKeepsWhatWasAdded()
    {
        QByteArray target;
        target.reserve(32766 * 48);
        for (int i = 0; i < 32766; ++i)
            target += bearing("M" + QByteArray::number(i));
        QVERIFY(Fixture::write(m_target, target));
        QVERIFY(Fixture::write(
            m_source, bearing("M5") + bearing("NEW1") + bearing("NEW2") + bearing("NEW3")));

        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QVERIFY(r.merged);
        QCOMPARE(r.added, 1);
        QCOMPARE(r.targetCount, 32767);
        QVERIFY(r.error.failed());
        QCOMPARE(r.error.path, m_target);
        QVERIFY2(r.error.reason.contains(QStringLiteral("32767")), qPrintable(r.error.reason));
        const QByteArray after = Fixture::read(m_target);
        QCOMPARE(after.size(), 32767 * 48);
        QCOMPARE(after.mid(32766 * 48, 35), bearing("NEW1").left(35));

        // Full already: nothing is written, the stop is reported again.
        const Combiner::MergeResult again = Combiner::mergeBearingFiles(m_source, m_target);
        QCOMPARE(again.added, 0);
        QVERIFY(again.error.failed());
        QCOMPARE(Fixture::read(m_target).size(), 32767 * 48);
    }

    void countingTheTarget()
    {
        StoreError error;
        QCOMPARE(Combiner::countBearingRecords(m_target, error), 0);
        QVERIFY(!error.failed());
        QVERIFY(QFile::exists(m_target)); // created empty
        QCOMPARE(Combiner::targetCountText(0), QStringLiteral("目标文件中有 0 个记录"));

        QVERIFY(Fixture::write(m_target, bearing("A") + bearing("B") + QByteArray(47, ' ')));
        QCOMPARE(Combiner::countBearingRecords(m_target, error), 2);
        QCOMPARE(Combiner::countBearingRecords(m_dir.path(), error), -1);
        QVERIFY(error.failed());
    }
};

QTEST_GUILESS_MAIN(TestCombiner)
#include "tst_combiner.moc"
