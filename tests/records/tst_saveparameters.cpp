// Saving parameters: the slot written to gear.sav, the replace question and both answers on a file
// of five records, the bearings added to the catalogue, the closing messages, a conversion fault
// that must write nothing, and file errors that must be reported without tearing gear.sav.

#include "records/saveparameters.h"
#include "support/scriptedprompter.h"

#include <QFile>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cstring>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

const QString Question = QStringLiteral("编号 G-101 已经用过。是否替换？");
const QString SavedNewBearing = QStringLiteral("参数已保存,快用工具\\数据管理器完善. ");
const QString SavedNoNewBearing = QStringLiteral("参数已保存     ");

// The controls of the main window, filled with the worked example: 30/20 kW, 1000 rpm, span 300,
// angle 180, gear 1 at 80 (d 200, helix 10, pressure 20, force left), gear 2 at 90 from B (d 120,
// helix 12, pressure 20, force right), bearings 30216 of type 1, optAssembleA, no self-weight.
class FakeWindow : public InputSource
{
public:
    FakeWindow()
    {
        const QStringList gears = { QStringLiteral("80"), QStringLiteral("200"),
            QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("90"), QStringLiteral("120"),
            QStringLiteral("12"), QStringLiteral("20") };
        texts[QStringLiteral("txtParameter_0")] = QStringLiteral("G-101");
        texts[QStringLiteral("txtParameter_1")] = QStringLiteral("30/20");
        texts[QStringLiteral("txtParameter_2")] = QStringLiteral("1000");
        texts[QStringLiteral("txtParameter_3")] = QStringLiteral("300");
        texts[QStringLiteral("txtParameter_4")] = QStringLiteral("180");
        for (int i = 0; i < 8; ++i)
            texts[QStringLiteral("txtGear_%1").arg(i)] = gears.at(i);
        for (const char *side : { "A", "B" }) {
            texts[QStringLiteral("txtBearing%1_0").arg(QLatin1StringView(side))]
                = QStringLiteral("30216");
            texts[QStringLiteral("txtBearing%1_1").arg(QLatin1StringView(side))]
                = QStringLiteral("0.37");
            texts[QStringLiteral("txtBearing%1_2").arg(QLatin1StringView(side))]
                = QStringLiteral("1.6");
            texts[QStringLiteral("txtBearing%1_4").arg(QLatin1StringView(side))]
                = QStringLiteral("150");
        }
        selected = { QStringLiteral("optGear1_0"), QStringLiteral("optGear2_1"),
            QStringLiteral("optAssembleA") };
    }
    QString boxText(const QString &name) const override { return texts.value(name); }
    bool isSelected(const QString &option) const override { return selected.contains(option); }
    int checkState(const QString &check) const override
    {
        return check == QStringLiteral("chkWeight") ? weight : 0;
    }
    int comboData(const QString &) const override { return 1; }

    QHash<QString, QString> texts;
    QSet<QString> selected;
    int weight = 0;
};

ShaftRecord shaft(const QString &number, float p1)
{
    ShaftRecord r;
    r.ShaftNo = number;
    r.P1 = r.P2 = p1;
    r.n = 960;
    r.L = 250;
    r.ALFA = 180;
    r.GearParams = { 60, 150, 0, 20, 0, 0, 0, 20 };
    r.ModelA = r.ModelB = QStringLiteral("22208");
    return r;
}

BearingRecord bearing(const QString &model)
{
    BearingRecord b;
    b.Model = model;
    b.Type = 1;
    b.e = 0.37f;
    b.Y1 = 1.6f;
    b.Cr = 150;
    return b;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray le16(int v)
{
    QByteArray b(2, '\0');
    qToLittleEndian<qint16>(static_cast<qint16>(v), b.data());
    return b;
}

QByteArray le32(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, 4);
    QByteArray b(4, '\0');
    qToLittleEndian<quint32>(bits, b.data());
    return b;
}

// The 74 data bytes of the worked example's shaft record, by the gear.sav layout.
QByteArray workedExampleShaftBytes()
{
    QByteArray b = "G-101          "; // 15
    b += le32(30) + le32(20) + le32(1000) + le16(300) + le16(180);
    for (int v : { 80, 200, 10, 20, 90, 120, 12, 20 })
        b += le16(v);
    b += char(64 + 8 + 2); // gear 1 left, gear 2 right, optAssembleA
    b += le16(0); // WeightKg
    b += "30216       ";
    b += "30216       ";
    return b;
}

class ReadOnlyFiles
{
public:
    explicit ReadOnlyFiles(const QStringList &paths)
        : m_paths(paths)
    {
        for (const QString &p : m_paths)
            QFile::setPermissions(p, QFile::ReadOwner | QFile::ExeOwner);
#ifdef Q_OS_LINUX
        // Root ignores permissions; drop that privilege from this thread for the scope.
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) == 0) {
            __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
            reduced[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
            m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
        }
#endif
    }
    ~ReadOnlyFiles()
    {
#ifdef Q_OS_LINUX
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
#endif
        for (const QString &p : m_paths)
            QFile::setPermissions(p, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool effective() const
    {
        QFile f(m_paths.first());
        return !f.open(QIODevice::ReadWrite);
    }

private:
    QStringList m_paths;
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_header {};
    __user_cap_data_struct m_saved[2] {};
    bool m_dropped = false;
#endif
};

} // namespace

class TestSaveParameters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init();

    void firstSaveWritesRecordOne();
    void numberInUse_data();
    void numberInUse();
    void closingMessage_data();
    void closingMessage();
    void conversionFaultWritesNothing();
    void readOnlyGearFile();
    void readOnlyBearingFile();

private:
    void fiveRecords();
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_gear, m_bearing;
};

void TestSaveParameters::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    RecordFiles::setAppDirectory(m_dir->path());
    m_gear = m_dir->filePath(QStringLiteral("gear.sav"));
    m_bearing = m_dir->filePath(QStringLiteral("bearing.sav"));
}

// gear.sav, G-101, A-4, G-101 (the number twice); bearing.sav: 22208 and 30216.
void TestSaveParameters::fiveRecords()
{
    QByteArray gear;
    for (const QString &no : { QStringLiteral("A-1"), QStringLiteral("A-2"),
             QStringLiteral("G-101"), QStringLiteral("A-4"), QStringLiteral("G-101") })
        gear += RecordLayout::encodeShaft(shaft(no, 7.5f));
    writeAll(m_gear, gear);
    writeAll(m_bearing,
        RecordLayout::encodeBearing(bearing(QStringLiteral("22208")))
            + RecordLayout::encodeBearing(bearing(QStringLiteral("30216"))));
}

void TestSaveParameters::firstSaveWritesRecordOne()
{
    FakeWindow window;
    CalcInput input;
    OptionFlags flags {};
    RecordCopies copies;
    ScriptedPrompter prompter;

    const SaveOutcome out = SaveParameters(window, input, flags, copies, prompter);
    QCOMPARE(out.kind, SaveOutcome::Saved);
    QCOMPARE(out.recordNo, 1);
    QVERIFY(!out.replaced);
    QCOMPARE(prompter.texts(), QStringList { SavedNewBearing }); // no question, one closing message
    QCOMPARE(prompter.shown.first().title, QStringLiteral("Tolvenar"));

    const QByteArray gear = readAll(m_gear);
    QCOMPARE(gear.size(), 116);
    QCOMPARE(gear.left(74), workedExampleShaftBytes());

    // Both bearings are 30216: the first call appends it, the second finds it. Type 1 keeps e and
    // Y1 (rounded to 2 decimals) and stores Y2 = 0; d, D, B are 0.
    const QByteArray cat = readAll(m_bearing);
    QCOMPARE(cat.size(), 48);
    const QByteArray expected = QByteArray("30216       ") + char(1) + le16(0) + le16(0) + le16(0)
        + le32(0.37f) + le32(1.6f) + le32(0) + le32(150);
    QCOMPARE(cat.left(35), expected);
}

void TestSaveParameters::numberInUse_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("recordNo"); // the record that must now hold the window's data, 0 none
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("Yes replaces the first of two")
        << QStringLiteral("G-101") << int(Prompter::Yes) << int(SaveOutcome::Saved) << 3
        << QStringList { Question, SavedNoNewBearing };
    QTest::newRow("No writes nothing")
        << QStringLiteral("G-101") << int(Prompter::No) << int(SaveOutcome::Declined) << 0
        << QStringList { Question };
    QTest::newRow("trailing blanks are the same number")
        << QStringLiteral("G-101   ") << int(Prompter::Yes) << int(SaveOutcome::Saved) << 3
        << QStringList { Question, SavedNoNewBearing };
    QTest::newRow("other case is another number: appended") << QStringLiteral(
        "g-101") << -1 << int(SaveOutcome::Saved) << 6 << QStringList { SavedNoNewBearing };
}

void TestSaveParameters::numberInUse()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(int, kind);
    QFETCH(int, recordNo);
    QFETCH(QStringList, messages);
    fiveRecords();
    const QByteArray gearBefore = readAll(m_gear);
    const QByteArray bearingBefore = readAll(m_bearing);

    FakeWindow window;
    window.texts[QStringLiteral("txtParameter_0")] = typed;
    CalcInput input;
    OptionFlags flags {};
    RecordCopies copies;
    ScriptedPrompter prompter;
    if (answer >= 0)
        prompter.answers << answer;

    const SaveOutcome out = SaveParameters(window, input, flags, copies, prompter);
    QCOMPARE(int(out.kind), kind);
    QCOMPARE(out.recordNo, recordNo);
    QCOMPARE(prompter.texts(), messages);
    if (answer >= 0) {
        const ScriptedPrompter::Shown &q = prompter.shown.first();
        QCOMPARE(q.title, QStringLiteral("Tolvenar"));
        QCOMPARE(q.buttons, Prompter::Yes | Prompter::No);
        QCOMPARE(q.defaultButton, int(Prompter::Yes));
        QCOMPARE(q.icon, Prompter::Icon::Information);
    }

    const QByteArray gear = readAll(m_gear);
    QCOMPARE(gear.size(), recordNo == 6 ? 6 * 116 : 5 * 116);
    for (int k = 1; k <= 5; ++k) {
        const QByteArray slot = gear.mid((k - 1) * 116, 116);
        if (k == recordNo)
            QCOMPARE(slot.mid(15, 59), workedExampleShaftBytes().mid(15)); // the window's data
        else
            QCOMPARE(slot, gearBefore.mid((k - 1) * 116, 116)); // record 5 (same number) untouched
    }
    if (recordNo == 6)
        QCOMPARE(gear.mid(5 * 116, 15), QByteArray("g-101          "));
    QCOMPARE(readAll(m_bearing), bearingBefore); // 30216 is in the catalogue already
}

void TestSaveParameters::closingMessage_data()
{
    QTest::addColumn<QString>("modelA");
    QTest::addColumn<QString>("modelB");
    QTest::addColumn<int>("catalogueRecords");
    QTest::addColumn<QString>("message");

    QTest::newRow("both known") << QStringLiteral("22208") << QStringLiteral("30216") << 2
                                << SavedNoNewBearing;
    QTest::newRow("A new") << QStringLiteral("32310") << QStringLiteral("30216") << 3
                           << SavedNewBearing;
    QTest::newRow("B new") << QStringLiteral("30216") << QStringLiteral("32310") << 3
                           << SavedNewBearing;
    QTest::newRow("both new and different")
        << QStringLiteral("32310") << QStringLiteral("32311") << 4 << SavedNewBearing;
}

void TestSaveParameters::closingMessage()
{
    QFETCH(QString, modelA);
    QFETCH(QString, modelB);
    QFETCH(int, catalogueRecords);
    QFETCH(QString, message);
    fiveRecords();
    FakeWindow window;
    window.texts[QStringLiteral("txtParameter_0")] = QStringLiteral("NEW-1");
    window.texts[QStringLiteral("txtBearingA_0")] = modelA;
    window.texts[QStringLiteral("txtBearingB_0")] = modelB;
    CalcInput input;
    OptionFlags flags {};
    RecordCopies copies;
    ScriptedPrompter prompter;

    const SaveOutcome out = SaveParameters(window, input, flags, copies, prompter);
    QCOMPARE(out.kind, SaveOutcome::Saved);
    QCOMPARE(out.recordNo, 6);
    QCOMPARE(prompter.texts(), QStringList { message });
    QCOMPARE(readAll(m_bearing).size(), catalogueRecords * 48);
}

void TestSaveParameters::conversionFaultWritesNothing()
{
    fiveRecords();
    const QByteArray gearBefore = readAll(m_gear);
    const QByteArray bearingBefore = readAll(m_bearing);
    FakeWindow window;
    window.texts[QStringLiteral("txtParameter_0")] = QStringLiteral("NEW-1");
    window.texts[QStringLiteral("txtBearingA_0")] = QStringLiteral("32310");
    window.texts[QStringLiteral("txtParameter_3")] = QStringLiteral("40000"); // span overflows
    CalcInput input;
    OptionFlags flags {};
    RecordCopies copies;
    ScriptedPrompter prompter;

    const SaveOutcome out = SaveParameters(window, input, flags, copies, prompter);
    QCOMPARE(out.kind, SaveOutcome::ConversionFault);
    QCOMPARE(prompter.texts(), QStringList { QStringLiteral("数值溢出  ") });
    QCOMPARE(prompter.shown.first().title, QStringLiteral("Tolvenar"));
    QCOMPARE(readAll(m_gear), gearBefore);
    QCOMPARE(readAll(m_bearing), bearingBefore);
}

void TestSaveParameters::readOnlyGearFile()
{
    fiveRecords();
    const QByteArray gearBefore = readAll(m_gear);
    const QByteArray bearingBefore = readAll(m_bearing);
    ReadOnlyFiles readOnly({ m_gear });
    if (!readOnly.effective())
        QSKIP("this account can write read-only files");

    for (const QString &number : { QStringLiteral("G-101"), QStringLiteral("NEW-1") }) {
        FakeWindow window;
        window.texts[QStringLiteral("txtParameter_0")] = number;
        window.texts[QStringLiteral("txtBearingA_0")] = QStringLiteral("32310");
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        ScriptedPrompter prompter;
        prompter.answers << Prompter::Yes;

        const SaveOutcome out = SaveParameters(window, input, flags, copies, prompter);
        QCOMPARE(out.kind, SaveOutcome::Failed);
        QCOMPARE(out.error.path, m_gear);
        const QString failure = prompter.shown.last().text;
        QVERIFY2(failure.startsWith(QDir::toNativeSeparators(m_gear) + QStringLiteral(": ")),
            qPrintable(failure));
        QVERIFY(!prompter.texts().contains(SavedNewBearing));
        QCOMPARE(readAll(m_gear), gearBefore);
        QCOMPARE(readAll(m_bearing), bearingBefore); // no bearing added after a failed save
    }
}

void TestSaveParameters::readOnlyBearingFile()
{
    fiveRecords();
    const QByteArray bearingBefore = readAll(m_bearing);
    ReadOnlyFiles readOnly({ m_bearing });
    if (!readOnly.effective())
        QSKIP("this account can write read-only files");

    FakeWindow window;
    window.texts[QStringLiteral("txtParameter_0")] = QStringLiteral("NEW-1");
    window.texts[QStringLiteral("txtBearingA_0")] = QStringLiteral("32310");
    CalcInput input;
    OptionFlags flags {};
    RecordCopies copies;
    ScriptedPrompter prompter;

    const SaveOutcome out = SaveParameters(window, input, flags, copies, prompter);
    QCOMPARE(out.kind, SaveOutcome::Failed);
    QCOMPARE(out.recordNo, 6); // the shaft record is saved whole
    QCOMPARE(readAll(m_gear).size(), 6 * 116);
    QCOMPARE(prompter.shown.size(), 1); // the failure only, no closing message
    QVERIFY(prompter.shown.first().text.startsWith(QDir::toNativeSeparators(m_bearing)));
    QCOMPARE(readAll(m_bearing), bearingBefore);
}

QTEST_GUILESS_MAIN(TestSaveParameters)
#include "tst_saveparameters.moc"
