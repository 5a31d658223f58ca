// The record combiner: merging another file's bearings into bearing.sav (duplicates and implausible
// records skipped, new ones appended unchanged) and its window.

#include "records/combiner.h"
#include "records/frmcombiner.h"
#include "records/recordfile.h"
#include "support/workedexample.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <limits>

using namespace Fixture;
using namespace Qt::Literals::StringLiterals;

namespace {

// Keeps the caption and filter of each open dialog.
struct Prompts : ScriptedPrompter
{
    QStringList asked;
    QString openFileName(const QString &caption, const QString &dir, const QString &filter) override
    {
        asked << caption + u'|' + filter;
        return ScriptedPrompter::openFileName(caption, dir, filter);
    }
};

QByteArray many(const char *prefix, int count)
{
    QByteArray bytes;
    bytes.reserve(count * 48);
    for (int i = 0; i < count; ++i)
        bytes += bearingSlot(prefix + QByteArray::number(i));
    return bytes;
}

template <typename T> T *child(QWidget *w, const char *name)
{
    return w->findChild<T *>(QString::fromLatin1(name));
}
QString view(QWidget *w)
{
    return child<QLabel>(w, "lblView")->text();
}
void click(QWidget *w, const char *button)
{
    QTest::mouseClick(child<QPushButton>(w, button), Qt::LeftButton);
}

} // namespace

class TestCombiner : public QObject
{
    Q_OBJECT

    AppDirectory m_dir;
    QString m_source, m_target;

    Combiner::MergeResult merge(const QByteArray &target, const QByteArray &source)
    {
        writeFile(m_target, target);
        writeFile(m_source, source);
        return Combiner::mergeBearingFiles(m_source, m_target);
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        m_source = m_dir.filePath(u"other.sav"_s);
        m_target = RecordFiles::bearingPath();
    }
    void init()
    {
        QFile::remove(m_source);
        QFile::remove(m_target);
    }

    // clang-format off
    void plausibility_data()
    {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("added");
        const float nan = std::numeric_limits<float>::quiet_NaN();
        QTest::newRow("ordinary bearing") << bearingSlot("22220") << 1;
        QTest::newRow("type 4 with zero factors kept") << bearingSlot("7210", 4, 0, 0, 0, 50) << 1;
        QTest::newRow("type 5 rejected") << bearingSlot("X5", 5) << 0;
        QTest::newRow("blank model rejected") << bearingSlot("") << 0;
        QTest::newRow("zero-filled model rejected") << bearingSlot(QByteArray(12, '\0')) << 0;
        QTest::newRow("model not GBK rejected") << bearingSlot("AB\xD6 C\x7F") << 0;
        QTest::newRow("negative e rejected") << bearingSlot("E-", 0, -0.01f) << 0;
        QTest::newRow("e exactly 1 rejected") << bearingSlot("E1", 0, 1) << 0;
        QTest::newRow("negative Y1 rejected") << bearingSlot("Y1-", 0, 0.3f, -0.01f) << 0;
        QTest::newRow("Y1 exactly 10 rejected") << bearingSlot("Y110", 0, 0.3f, 10) << 0;
        QTest::newRow("negative Y2 rejected") << bearingSlot("Y2-", 0, 0.3f, 2, -0.01f) << 0;
        QTest::newRow("Y2 exactly 10 rejected") << bearingSlot("Y210", 0, 0.3f, 2, 10) << 0;
        QTest::newRow("Cr exactly 1 rejected") << bearingSlot("CR1", 0, 0.3f, 2, 3, 1) << 0;
        QTest::newRow("Cr exactly 20000 rejected") << bearingSlot("CR2", 0, 0.3f, 2, 3, 20000) << 0;
        QTest::newRow("Cr not a number rejected") << bearingSlot("CRNAN", 0, 0.3f, 2, 3, nan) << 0;
    }
    // clang-format on
    void plausibility()
    {
        QFETCH(QByteArray, record);
        QFETCH(int, added);
        const Combiner::MergeResult r = merge(bearingSlot("6205"), record);
        QVERIFY(r.merged && !r.error.failed());
        QCOMPARE(r.added, added);
        QCOMPARE(readFile(m_target).size(), (1 + added) * 48);
    }

    // clang-format off
    void duplicates_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("appended");
        QTest::newRow("model differing only in case") << bearingSlot("skf23052") << QByteArray();
        QTest::newRow("same model twice: the first one once")
            << bearingSlot("NEW1") + bearingSlot("NEW1", 1) << bearingSlot("NEW1");
        QTest::newRow("case variants inside the source: once")
            << bearingSlot("Nu2205") + bearingSlot("NU2205") << bearingSlot("Nu2205");
        QTest::newRow("leading blank makes another model") << bearingSlot(" SKF23052") << bearingSlot(" SKF23052");
        QTest::newRow("implausible first copy does not block a plausible second")
            << bearingSlot("N3", 5) + bearingSlot("N3") << bearingSlot("N3");
    }
    // clang-format on
    void duplicates()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, appended);
        QCOMPARE(merge(bearingSlot("SKF23052"), source).added, int(appended.size() / 48));
        QCOMPARE(readFile(m_target), bearingSlot("SKF23052") + appended);
    }

    void newRecordsAppendedUnchanged()
    {
        const QByteArray target = many("T", 10);
        const QByteArray a = bearingSlot("NEWA", 1, 0.35f, 1.7f, 0, 64.5f, 50, 90, 20, '\xEE');
        const QByteArray b = bearingSlot("NEWB", 3, 0, 0, 0, 120, 60, 110, 22, '\xEE');
        const Combiner::MergeResult r
            = merge(target, a + bearingSlot("t3") + b + bearingSlot("T9"));
        QCOMPARE(Combiner::mergeResultText(r.targetCount, r.added),
            u"目标文件中有 12 个记录  新增 2 个记录"_s);
        // All nine fields byte for byte, in source order; the unused bytes as blanks.
        QCOMPARE(readFile(m_target),
            target + a.left(35) + QByteArray(13, ' ') + b.left(35) + QByteArray(13, ' '));
        QCOMPARE(Combiner::mergeBearingFiles(m_target, m_target).added, 0); // into itself
        QCOMPARE(readFile(m_target).size(), 12 * 48);
    }

    // Nothing to add leaves a torn target alone; a new record replaces the tail after the file
    // was kept in bearing.bak, which the closing note names.
    void tornTailOfTheTarget()
    {
        const QByteArray torn = bearingSlot("6205") + bearingSlot("6206") + QByteArray(20, 'x');
        QCOMPARE(merge(torn, bearingSlot("6206")).added, 0);
        QCOMPARE(readFile(m_target), torn);
        const Combiner::MergeResult r = merge(torn, bearingSlot("6207"));
        QCOMPARE(r.targetCount, 3);
        QCOMPARE(readFile(m_target), torn.left(96) + bearingSlot("6207"));
        QCOMPARE(readFile(m_dir.filePath(u"bearing.bak"_s)), torn);
        QVERIFY2(r.note.startsWith(u"bearing.sav 末尾有 20 个字节不是完整记录"_s)
                && r.note.endsWith(u"bearing.bak"_s),
            qPrintable(r.note));
    }

    // A target far beyond the record limit (a sparse 1 GB file) stops at once, reading neither
    // the whole target nor the (sparse 2 GB) source.
    void hugeTargetStopsAtOnce()
    {
        QFile target(m_target), source(m_source);
        QVERIFY(target.open(QIODevice::WriteOnly) && target.resize(qint64(1) << 30));
        QVERIFY(source.open(QIODevice::WriteOnly) && source.resize(qint64(2) << 30));
        target.close();
        source.close();
        QElapsedTimer timer;
        timer.start();
        const Combiner::MergeResult r = Combiner::mergeBearingFiles(m_source, m_target);
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(r.added, 0);
        QVERIFY2(r.error.reason.contains(u"记录数已达上限 32767"_s), qPrintable(r.error.text()));
        QCOMPARE(QFileInfo(m_target).size(), qint64(1) << 30);
        QFile::remove(m_source);
    }

    void windowMergesAndShowsCounts()
    {
        Prompts prompter;
        QPointer<frmCombiner> w = new frmCombiner(prompter);
        QCOMPARE(view(w), u"目标文件中有 0 个记录"_s);
        QCOMPARE(child<QLineEdit>(w, "txtDestination")->text(), QDir::toNativeSeparators(m_target));
        QVERIFY(QFile::exists(m_target)); // created empty
        QVERIFY(!child<QPushButton>(w, "cmdStart")->isEnabled());

        // A typed source enables the start button but merges nothing: only the dialog chooses.
        writeFile(m_source,
            bearingSlot("A1") + bearingSlot("a1") + bearingSlot("A2") + bearingSlot("BAD", 0, 1));
        QTest::keyClicks(child<QLineEdit>(w, "txtResource"), m_source);
        QVERIFY(child<QPushButton>(w, "cmdStart")->isEnabled());
        click(w, "cmdStart");
        QCOMPARE(readFile(m_target).size(), 0);

        click(w, "cmdOpenFile"); // cancelled
        QVERIFY(w->sourcePath().isEmpty());
        prompter.openPaths = { m_source };
        click(w, "cmdOpenFile");
        QCOMPARE(prompter.asked, QStringList(2, u"打开|记录文件(*.sav)"_s));
        QCOMPARE(child<QLineEdit>(w, "txtResource")->text(), QDir::toNativeSeparators(m_source));
        click(w, "cmdStart");
        QCOMPARE(view(w), u"目标文件中有 2 个记录  新增 2 个记录"_s);
        click(w, "cmdStart");
        QCOMPARE(view(w), u"目标文件中有 2 个记录  新增 0 个记录"_s);
        QVERIFY(prompter.shown.isEmpty());

        w->show();
        click(w, "cmdExit");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w); // closed and unloaded
    }

    // The count of a non-empty target (whole records only) when the window opens; a target that
    // reaches 32767 records stops the merge there, keeps what was added, and the window reports
    // the stop in the failure box.
    void fullTargetStops()
    {
        writeFile(m_target, many("M", 32766) + "torn");
        writeFile(m_source, bearingSlot("M5") + bearingSlot("NEW1") + bearingSlot("NEW2"));
        ScriptedPrompter prompter;
        prompter.openPaths = { m_source };
        frmCombiner w(prompter);
        QCOMPARE(view(&w), u"目标文件中有 32766 个记录"_s);
        click(&w, "cmdOpenFile");
        click(&w, "cmdStart");
        QCOMPARE(view(&w), u"目标文件中有 32767 个记录  新增 1 个记录"_s);
        QCOMPARE(readFile(m_target).mid(32766 * 48, 35), bearingSlot("NEW1").left(35));
        QCOMPARE(prompter.shown.size(), 2); // the stop, then the kept torn tail
        QVERIFY(isFailureBox(prompter.shown.at(0)));
        QVERIFY(prompter.shown.at(0).text.startsWith(QDir::toNativeSeparators(m_target)));
        QVERIFY(prompter.shown.at(0).text.contains(u"32767"_s));
    }
};

QTEST_MAIN(TestCombiner)
#include "tst_combiner.moc"
