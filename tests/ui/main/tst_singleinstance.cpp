// One running copy at a time: a second start is refused with the message; a lock left behind by
// a copy that crashed does not count.

#include "ui/main/singleinstance.h"

#include "support/scriptedprompter.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void secondCopyIsRefusedWithTheMessage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tolvenar.lock"));
        SingleInstanceGuard first(path);
        QVERIFY(first.tryAcquire());

        ScriptedPrompter prompter;
        QVERIFY(!acquireSingleInstance(prompter, path));
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown.at(0).text, QStringLiteral("已有一个程序实例运行"));
        QVERIFY(prompter.shown.at(0).title.isEmpty()); // the platform's default title
        QCOMPARE(prompter.shown.at(0).buttons, int(Prompter::Ok));
        QCOMPARE(prompter.shown.at(0).icon, Prompter::Icon::None);
        QVERIFY(first.isHeld()); // the copy already running is not affected

        SingleInstanceGuard second(path);
        QVERIFY(!second.tryAcquire());
        QVERIFY(!second.isHeld());
    }

    void lockStaysHeldAndIsFreedWithTheGuard()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tolvenar.lock"));
        {
            SingleInstanceGuard first(path);
            QVERIFY(first.tryAcquire());
            // Long after the start the running copy still counts.
            QFile lock(path);
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(
                QDateTime::currentDateTime().addDays(-3), QFileDevice::FileModificationTime));
            lock.close();
            SingleInstanceGuard later(path);
            QVERIFY(!later.tryAcquire());
        }
        SingleInstanceGuard next(path);
        QVERIFY(next.tryAcquire());
    }

    void processKeepsItsLockAndAsksOnlyOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tolvenar.lock"));
        ScriptedPrompter prompter;
        QVERIFY(acquireSingleInstance(prompter, path));
        QVERIFY(acquireSingleInstance(prompter, path));
        QVERIFY(prompter.shown.isEmpty());
        SingleInstanceGuard other(path);
        QVERIFY(!other.tryAcquire());
    }

    void leftoverLocks_data()
    {
        QTest::addColumn<bool>("deadOwner");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("acquired");
        QTest::newRow("owner crashed, lock fresh") << true << 0 << true;
        QTest::newRow("owner crashed, lock old") << true << 3600 << true;
        QTest::newRow("empty lock file just created") << false << 0 << false;
        QTest::newRow("empty lock file a minute old") << false << 60 << true;
    }

    void leftoverLocks()
    {
        QFETCH(bool, deadOwner);
        QFETCH(int, ageSeconds);
        QFETCH(bool, acquired);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tolvenar.lock"));

        QByteArray contents;
        if (deadOwner) {
            // A lock as a copy on this machine writes it, with the id of a process that cannot
            // exist (beyond the kernel's largest process id).
            {
                QLockFile real(path);
                QVERIFY(real.tryLock(0));
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                contents = f.readAll();
                real.unlock();
            }
            contents = "2147480000" + contents.mid(contents.indexOf('\n'));
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(contents);
        QVERIFY(f.setFileTime(
            QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        f.close();

        SingleInstanceGuard guard(path);
        QCOMPARE(guard.tryAcquire(), acquired);
        QCOMPARE(guard.isHeld(), acquired);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
