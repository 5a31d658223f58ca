// The record combiner window: counts and texts in lblView, the source chosen only through the
// dialog, the start button's enabling, failures in a message box.

#include "records/frmcombiner.h"

#include "records/recordfile.h"
#include "support/scriptedprompter.h"
#include "tst_combiner_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Fixture::bearing;

class TestFrmCombiner : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    template <typename T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::German));
        QVERIFY(m_dir.isValid());
        RecordFiles::setAppDirectory(m_dir.path());
    }

    void init()
    {
        QFile::remove(path("bearing.sav"));
        QFile::remove(path("other.sav"));
    }

    void opensOnAMissingCatalogue()
    {
        ScriptedPrompter prompter;
        auto *w = new frmCombiner(prompter);
        QCOMPARE(w->windowTitle(), QStringLiteral("合并记录"));
        QCOMPARE(child<QLabel>(w, "lblView")->text(), QStringLiteral("目标文件中有 0 个记录"));
        QCOMPARE(child<QLineEdit>(w, "txtDestination")->text(),
            QDir::toNativeSeparators(RecordFiles::bearingPath()));
        QVERIFY(!child<QPushButton>(w, "cmdStart")->isEnabled());
        QCOMPARE(child<QPushButton>(w, "cmdOpenFile")->text(), QStringLiteral("<<<"));
        QVERIFY(QFile::exists(path("bearing.sav")));
        QVERIFY(prompter.shown.isEmpty());
        delete w;
    }

    void mergeShowsTheCountsAndRunsAgainOnTheNewTarget()
    {
        QByteArray target;
        for (int i = 0; i < 10; ++i)
            target += bearing("T" + QByteArray::number(i));
        QVERIFY(Fixture::write(path("bearing.sav"), target));
        QVERIFY(Fixture::write(path("other.sav"),
            bearing("A1") + bearing("t1") + bearing("A2") + bearing("A3")
                + Fixture::slot("BAD", 0, 1, 2, 3, 150)));
        ScriptedPrompter prompter;
        prompter.openPaths = { path("other.sav") };
        frmCombiner w(prompter);
        QCOMPARE(child<QLabel>(&w, "lblView")->text(), QStringLiteral("目标文件中有 10 个记录"));

        QTest::mouseClick(child<QPushButton>(&w, "cmdOpenFile"), Qt::LeftButton);
        QCOMPARE(w.sourcePath(), path("other.sav"));
        QCOMPARE(child<QLineEdit>(&w, "txtResource")->text(),
            QDir::toNativeSeparators(path("other.sav")));
        QVERIFY(child<QPushButton>(&w, "cmdStart")->isEnabled());

        QTest::mouseClick(child<QPushButton>(&w, "cmdStart"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(&w, "lblView")->text(),
            QStringLiteral("目标文件中有 13 个记录  新增 3 个记录"));
        QTest::mouseClick(child<QPushButton>(&w, "cmdStart"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(&w, "lblView")->text(),
            QStringLiteral("目标文件中有 13 个记录  新增 0 个记录"));
        QVERIFY(prompter.shown.isEmpty());
    }

    void cancelledDialogKeepsTheSource()
    {
        ScriptedPrompter prompter;
        frmCombiner w(prompter);
        QTest::mouseClick(child<QPushButton>(&w, "cmdOpenFile"), Qt::LeftButton);
        QCOMPARE(prompter.dialogs.size(), 1);
        QVERIFY(w.sourcePath().isEmpty());
        QVERIFY(child<QLineEdit>(&w, "txtResource")->text().isEmpty());
        QVERIFY(!child<QPushButton>(&w, "cmdStart")->isEnabled());
    }

    void typedSourceEnablesStartButMergesNothing()
    {
        QVERIFY(Fixture::write(path("other.sav"), bearing("A1")));
        ScriptedPrompter prompter;
        frmCombiner w(prompter);
        QTest::keyClicks(child<QLineEdit>(&w, "txtResource"), path("other.sav"));
        QVERIFY(child<QPushButton>(&w, "cmdStart")->isEnabled());
        QTest::mouseClick(child<QPushButton>(&w, "cmdStart"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(&w, "lblView")->text(), QStringLiteral("目标文件中有 0 个记录"));
        QCOMPARE(Fixture::read(path("bearing.sav")).size(), 0);
        QVERIFY(prompter.shown.isEmpty());
    }

    void fullCatalogueIsReportedInAMessageBox()
    {
        QByteArray target;
        target.reserve(32767 * 48);
        for (int i = 0; i < 32767; ++i)
            target += bearing("M" + QByteArray::number(i));
        QVERIFY(Fixture::write(path("bearing.sav"), target));
        QVERIFY(Fixture::write(path("other.sav"), bearing("NEW")));
        ScriptedPrompter prompter;
        prompter.openPaths = { path("other.sav") };
        frmCombiner w(prompter);
        QTest::mouseClick(child<QPushButton>(&w, "cmdOpenFile"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(&w, "cmdStart"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(&w, "lblView")->text(),
            QStringLiteral("目标文件中有 32767 个记录  新增 0 个记录"));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.at(0).title, QStringLiteral("Tolvenar"));
        QVERIFY(
            prompter.shown.at(0).text.startsWith(QDir::toNativeSeparators(path("bearing.sav"))));
        QCOMPARE(Fixture::read(path("bearing.sav")).size(), 32767 * 48);
    }

    void exitClosesAndUnloadsTheWindow()
    {
        ScriptedPrompter prompter;
        QPointer<frmCombiner> w = new frmCombiner(prompter);
        w->show();
        QTest::mouseClick(child<QPushButton>(w, "cmdExit"), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w);
    }
};

QTEST_MAIN(TestFrmCombiner)
#include "tst_frmcombiner.moc"
