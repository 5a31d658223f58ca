// gear.sav and bearing.sav byte for byte (GBK fields, lookups, appends, record limit, damage, safe
// rewrite, lock), saving and recalling records, the two reports, and the record merger (duplicates
// and implausible records skipped, new ones appended unchanged) with its window.

#include "catalogue/combiner.h"
#include "records/recall.h"
#include "records/safefile.h"
#include "records/saveparameters.h"
#include "reports/detaileddata.h"
#include "reports/resultreport.h"
#include "support/filefaults.h"
#include "support/workedexample.h"
#include "ui/combiner/frmcombiner.h"
#include "ui/common/reportdialog.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <functional>

using namespace RecordLayout;
using namespace Fixture;
using namespace Qt::Literals::StringLiterals;
using Recall::Assignment;
using Recall::Plan;

namespace {

enum Files { None, Five, Torn };
const QString Question = u"编号 G-101 已经用过。是否替换？"_s;
const QString SavedNew = u"参数已保存,快用工具\\数据管理器完善. "_s;
const QString SavedOld = u"参数已保存     "_s;

// A plan as text: "box=text", "option:1", "check!1", "combo#position", "box^0" (caret to the end).
QString shown(const Plan &plan)
{
    QStringList out;
    for (const Assignment &a : plan)
        out << controlName(a.field) + QLatin1Char("=:!#^"[a.kind])
                + (a.kind == Assignment::Text ? a.text : QString::number(a.value));
    return out.join(u' ');
}

// A one-gear shaft: P2 5.005 kW next to P1 5, gear 2 all zeros, gear 1 force left, optAssembleA,
// self-weight off although 25 kg are stored.
ShaftRecord oneGearShaft(const QString &no = u"G-7            "_s)
{
    ShaftRecord r;
    r.ShaftNo = no, r.P1 = 5, r.P2 = 5.005f, r.n = 1450, r.L = 260, r.ALFA = 180;
    r.GearParams = { 130, 96, 8, 20, 0, 0, 0, 0 };
    r.Flags = 64 + 2, r.WeightKg = 25;
    r.ModelA = u"30208       "_s, r.ModelB = u"6208        "_s;
    return r;
}

// Keeps what the save dialogs propose and runs a hook while a question is open.
struct Prompts : ScriptedPrompter
{
    QStringList proposed; // "name|filter" of each save dialog, "caption|filter" of each open one
    std::function<void()> whileAsking;
    int message(const QString &text, const QString &title, int b, Icon icon, int def) override
    {
        if (whileAsking && b != Ok)
            whileAsking();
        return ScriptedPrompter::message(text, title, b, icon, def);
    }
    QString saveFileName(const QString &caption, const QString &name, const QString &f) override
    {
        proposed << name + u'|' + f;
        return ScriptedPrompter::saveFileName(caption, name, f);
    }
    QString openFileName(const QString &caption, const QString &dir, const QString &f) override
    {
        proposed << caption + u'|' + f;
        return ScriptedPrompter::openFileName(caption, dir, f);
    }
};

int saveWindow(const FakeWindow &window, ScriptedPrompter &prompter)
{
    CalcInput input;
    OptionFlags flags {};
    RecordCopies copies;
    return SaveParameters(window, input, flags, copies, prompter).recordNo;
}

// gear.sav: A-1, A-2, G-101, A-4, G-101 (the number twice); bearing.sav: 22208 and 30216.
void fiveRecords()
{
    QByteArray gear;
    for (const char *no : { "A-1", "A-2", "G-101", "A-4", "G-101" })
        gear += encodeShaft(oneGearShaft(QString::fromLatin1(no)));
    writeFile(RecordFiles::gearPath(), gear);
    writeFile(RecordFiles::bearingPath(), bearingSlot("22208") + bearingSlot("30216"));
}

// The Cr of the bearing found under key; 0 when none (or the file could not be read).
float crOf(const QString &key)
{
    const auto found = Module1::FindBearingRecord(key);
    return found && *found ? (*found)->Cr : 0.0f;
}

// The outcome of an append: "added", "there" or the error's reason.
QString appendOutcome(const QString &model, float cr = 1)
{
    const auto added = Module1::AppendBearingRecord(model, 0, 0, 0, 0, cr);
    return !added ? added.error().reason : *added ? u"added"_s : u"there"_s;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppDirectory> m_dir;
    QString m_source, m_target; // of a merge

    static QByteArray slot(const QByteArray &model, float cr)
    {
        return bearingSlot(model, 0, 0, 0, 0, cr, 0, 0, 0, '\0');
    }
    // The catalogue slot a save appends: Cr 150, no dimensions, zero unused bytes.
    static QByteArray copy(const char *model, int type, float e = 0, float y1 = 0)
    {
        return bearingSlot(model, type, e, y1, 0, 150, 0, 0, 0, '\0');
    }
    static BearingRecord bearing(const char *model, int type, float e, float y1, float y2, float cr)
    {
        return { QString::fromUtf8(model), std::uint8_t(type), 0, 0, 0, e, y1, y2, cr };
    }
    template <typename T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QString::fromLatin1(name));
    }
    static QString view(QWidget *w) { return child<QLabel>(w, "lblView")->text(); }
    static void click(QWidget *w, const char *b)
    {
        QTest::mouseClick(child<QPushButton>(w, b), Qt::LeftButton);
    }

    Combiner::MergeResult merge(const QByteArray &target, const QByteArray &source)
    {
        writeFile(m_target, target);
        writeFile(m_source, source);
        return mergeNow();
    }
    Combiner::MergeResult mergeNow(const QString &source = {})
    {
        const auto merged
            = Combiner::mergeBearingFiles(source.isEmpty() ? m_source : source, m_target);
        if (!merged)
            return { -1, -1, merged.error(), {} };
        return merged->value_or(Combiner::MergeResult { -2, -2, {}, {} });
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init()
    {
        m_dir = std::make_unique<AppDirectory>();
        m_source = m_dir->filePath(u"other.sav"_s), m_target = RecordFiles::bearingPath();
    }

    // One record of each file: the encoder against hand-made bytes, the decoder by the round trip
    // (unused bytes ignored when read, zeros when written). J-101 | P1 5.5 | P2 2.25 | n 1500 |
    // L 300 | ALFA -90 | gears 60, 250, 12, 20, -1, 1000, 0, -32768 | Flags 78 | 32767 kg |
    // "中文6205" in GBK | "NU2210E".
    void layouts()
    {
        const QByteArray shaft = QByteArray::fromHex("4a2d313031 20202020202020202020 0000b040"
                                                     "00001040 0080bb44 2c01 a6ff 3c00 fa00 0c00"
                                                     "1400 ffff e803 0000 0080 4e ff7f d6d0cec4"
                                                     "3632303520202020 4e5532323130452020202020");
        ShaftRecord r;
        r.ShaftNo = u"J-101"_s, r.P1 = 5.5f, r.P2 = 2.25f, r.n = 1500, r.L = 300, r.ALFA = -90;
        r.GearParams = { 60, 250, 12, 20, -1, 1000, 0, -32768 };
        r.Flags = 78, r.WeightKg = 32767, r.ModelA = u"中文6205"_s, r.ModelB = u"NU2210E"_s;
        QCOMPARE(encodeShaft(r), shaft + QByteArray(42, '\0'));
        const ShaftRecord back
            = decodeShaft(QByteArray(shaft + QByteArray(42, '\xCC')).constData());
        QCOMPARE(encodeShaft(back), shaft + QByteArray(42, '\0'));
        QCOMPARE(back.ShaftNo + u'|' + back.ModelA + u'|', u"J-101          |中文6205      |"_s);

        // "30207" and 7 blanks | type 1 | d 35, D 72, B -2 | e, Y1, Y2, Cr | 13 unused
        const QByteArray b = QByteArray::fromHex("333032303720202020202020 01 2300 4800 feff"
                                                 "0000c03e 0000e03f 0000003f 00007f42");
        QCOMPARE(encodeBearing({ u"30207"_s, 1, 35, 72, -2, 0.375f, 1.75f, 0.5f, 63.75f }),
            b + QByteArray(13, '\0'));
        QCOMPARE(encodeBearing(decodeBearing(QByteArray(b + QByteArray(13, 'x')).constData())),
            b + QByteArray(13, '\0'));
        QCOMPARE(decodeBearing(b.constData()).Model, u"30207       "_s);

        // The option bits, element 0 the most significant.
        QCOMPARE(int(Module1::BitsToByte({ 1, 0, 0, 0, 0, 0, 0, 1 })), 129);
        // Bad GBK decodes with replacement; NaN and infinities come back bit for bit.
        const float nan = std::bit_cast<float>(0x7FC00123U),
                    inf = std::numeric_limits<float>::infinity();
        const QByteArray hostile = bearingSlot("AB\xD6 C      \xD6", 9, nan, inf, -inf, nan, -1);
        const BearingRecord h = decodeBearing(hostile.constData());
        QCOMPARE(h.Model, u"AB\uFFFD C      \uFFFD"_s);
        QCOMPARE(std::bit_cast<quint32>(h.Cr), 0x7FC00123U);
        QCOMPARE(encodeBearing(h).mid(12, 23), hostile.mid(12, 23));
    }

    // Keys match with trailing blanks aside; case and leading blanks count; the first of two
    // records wins. Bearings NJ210, " 6206", 6205, 6205 (Cr 1 to 4) and 6208; a key "#no" looks up
    // the shaft no (1: found): one with P1 0.0005 counts as absent, and of G-7's bearings only B
    // (6208) is in the catalogue, so only B's factors and type follow.
    // clang-format off
    void lookups_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<float>("cr");
        QTest::newRow("trailing blanks") << u"NJ210   "_s << 1.0f;
        QTest::newRow("longer than the field, blanks") << u"NJ210              "_s << 1.0f;
        QTest::newRow("lower case") << u"nj210"_s << 0.0f;
        QTest::newRow("leading blank stored") << u" 6206"_s << 2.0f;
        QTest::newRow("leading blank missing") << u"6206"_s << 0.0f;
        QTest::newRow("leading blank extra") << u" 6205"_s << 0.0f;
        QTest::newRow("first of two") << u"6205"_s << 3.0f;
        QTest::newRow("shaft typed in lower case") << u"#g-7"_s << 1.0f;
        QTest::newRow("shaft, trailing blanks") << u"#G-7   "_s << 1.0f;
        QTest::newRow("shaft P1 of 0.0005 counts as absent") << u"#TINY"_s << 0.0f;
        QTest::newRow("shaft not on file") << u"#G-8"_s << 0.0f;
    }
    // clang-format on
    void lookups()
    {
        QFETCH(QString, key);
        QFETCH(float, cr);
        writeFile(RecordFiles::bearingPath(),
            slot("NJ210", 1) + slot(" 6206", 2) + slot("6205", 3) + slot("6205", 4)
                + bearingSlot("6208", 0, 0.24f, 2.8f, 4.2f, 29.5f));
        ShaftRecord tiny = oneGearShaft(u"TINY"_s);
        tiny.P1 = 0.0005f;
        writeFile(RecordFiles::gearPath(), encodeShaft(tiny) + encodeShaft(oneGearShaft()));
        if (!key.startsWith(u'#')) {
            QCOMPARE(crOf(key), cr);
            return;
        }
        Plan plan;
        QCOMPARE(Recall::planShaftRecall(key.mid(1), plan), cr == 1);
        const QString text = shown(plan);
        QCOMPARE(text.isEmpty(), cr == 0);
        QCOMPARE(text.contains(u"txtBearingB_3=4.2"_s) && text.contains(u"cboTypeB#0"_s), cr == 1);
        QVERIFY(!text.contains(u"cboTypeA"_s));
    }

    // A model already on file (trailing blanks aside) is not appended again, without an error.
    // 1 + 2 x 7 GBK bytes do not fit 12: the sixth Chinese character goes whole, a blank fills the
    // hole, and the long model still finds its record. A missing file is created empty; a failed
    // append leaves no torn record; the record limit; a rewrite goes through temp.sav, whatever a
    // crash left there.
    void appendsAndRewrites()
    {
        const auto shaft = Module1::FindShaftRecord(u"1"_s);
        QVERIFY(shaft && !*shaft && readFile(RecordFiles::gearPath()).isEmpty());
        const auto added = Module1::AppendBearingRecord(u"6205"_s, 3, 0.25f, 0, 0, 63.75f);
        QVERIFY(added && *added);
        QCOMPARE(appendOutcome(u"6205  "_s, 20), u"there"_s);
        const QString longModel = u"A深沟球轴承型号"_s;
        QCOMPARE(appendOutcome(longModel, 2), u"added"_s);
        QCOMPARE(appendOutcome(longModel, 3), u"there"_s);
        const QByteArray two = bearingSlot("6205", 3, 0.25f, 0, 0, 63.75f, 0, 0, 0, '\0')
            + slot(QByteArray::fromHex("41c9eeb9b5c7f2d6e1b3d020"), 2);
        QCOMPARE(readFile(RecordFiles::bearingPath()), two);
        QCOMPARE((*Module1::FindBearingRecord(longModel))->Model, u"A深沟球轴承      "_s);
        {
            const FileSizeLimit limit(96 + 20); // the third slot stops after 20 bytes
            const auto failed = Module1::AppendBearingRecord(u"NEW"_s, 0, 0, 0, 0, 1);
            QVERIFY(!failed);
            QCOMPARE(failed.error().path, RecordFiles::bearingPath());
            QVERIFY2(failed.error().reason.startsWith(u"写入失败（"_s),
                qPrintable(failed.error().reason));
        }
        QCOMPARE(readFile(RecordFiles::bearingPath()), two);

        QByteArray full(MaxRecords * 48, '\0');
        full.replace((MaxRecords - 1) * 48, 48, slot("LAST", 7));
        writeFile(RecordFiles::bearingPath(), full + slot("BEYOND", 8)); // not read
        QCOMPARE(crOf(u"LAST"_s), 7.0f);
        QCOMPARE(crOf(u"BEYOND"_s), 0.0f);
        writeFile(RecordFiles::bearingPath(), full);
        QCOMPARE(appendOutcome(u"NEW"_s), u"记录数已达上限 32767，不能再添加记录"_s);
        QCOMPARE(QFileInfo(RecordFiles::bearingPath()).size(), qint64(full.size()));

        writeFile(RecordFiles::tempPath(), "left over from a crash");
        QVERIFY(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(),
            { decodeBearing(slot("B", 2).constData()), decodeBearing(slot("A", 1).constData()) }));
        QCOMPARE(readFile(RecordFiles::bearingPath()), slot("B", 2) + slot("A", 1));
        QVERIFY(!QFileInfo::exists(RecordFiles::tempPath()));
        QVERIFY(!QFileInfo::exists(m_dir->filePath(u"bearing.bak"_s))); // a rewrite keeps no backup
        QVERIFY(RecordFiles::rewriteBearingFile(m_target, QList<BearingRecord>(MaxRecords)));
        QVERIFY(!RecordFiles::rewriteBearingFile(m_target, QList<BearingRecord>(MaxRecords + 1)));
        QCOMPARE(QFileInfo(m_target).size(), MaxRecords * 48);
    }

    // A writer waits for another one holding the file's lock, then gives up naming the file; the
    // lock taken after the holder replaced the file is on the new file.
    void anotherWriterHoldsTheLock()
    {
        const QString gear = RecordFiles::gearPath();
        SafeFile::Lock holder, waiter;
        QVERIFY(holder.acquire(gear) && holder.created());
        const Result<> refused = waiter.acquire(gear, 50);
        QVERIFY(!refused);
        QCOMPARE(refused.error().text(),
            QDir::toNativeSeparators(gear)
                + u": 另一个程序（也可能是本程序的另一个副本）正在写入这个文件，请稍后再试"_s);
        QVERIFY(writeFile(RecordFiles::tempPath(), "new"));
        // The lock makes a missing file as any new file is made: readable as the umask allows.
        QCOMPARE(QFile::permissions(gear), QFile::permissions(RecordFiles::tempPath()));
        QCOMPARE(std::rename(QFile::encodeName(RecordFiles::tempPath()).constData(),
                     QFile::encodeName(gear).constData()),
            0); // as the holder's replacement does
        QVERIFY(waiter.acquire(gear, 50) && !waiter.created());
        const Result<> noFolder = holder.acquire(m_dir->filePath(u"gone/gear.sav"_s));
        QVERIFY(
            !noFolder && noFolder.error().reason.startsWith(u"无法创建文件（"_s)); // not retried
        QCOMPARE(*waiter.read(0, 10), QByteArray("new"));
    }

    // On gear.sav A-1, A-2, G-101, A-4, G-101 and bearing.sav 22208, 30216 (or no files, or torn
    // tails of 50 and 10 bytes); the window shows the worked example under G-101 with bearings
    // 30216 of type 1. A torn tail is kept in the backup beside its file before it is dropped,
    // and the closing message says so, once per file.
    // clang-format off
    void save_data()
    {
        QTest::addColumn<int>("files"); // None, Five, Torn
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("answer");    // to the question, -1 when none is expected
        QTest::addColumn<int>("recordNo");  // the record now holding the window's data, 0 none
        QTest::addColumn<QByteArray>("appended"); // to bearing.sav
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char *name, int files, std::initializer_list<const char *> changes,
                             int answer, int recordNo, const QByteArray &appended, const QStringList &messages) {
            QTest::newRow(name) << files << strings(changes) << answer << recordNo << appended << messages;
        };
        const QStringList replaced { Question, SavedOld };
        // Type 1 keeps e and Y1 and stores Y2 = 0; type 4 stores no factors.
        row("no files: record 1, no question, 30216 once", None, {}, -1, 1, copy("30216", 1, 0.37f, 1.6f), { SavedNew });
        row("Yes replaces the first of two", Five, {}, Prompter::Yes, 3, {}, replaced);
        row("No writes nothing, not even a new bearing", Five, { "txtBearingB_0=32310" }, Prompter::No, 0, {}, { Question });
        row("trailing blanks: the same number", Five, { "txtParameter_0=G-101   " }, Prompter::Yes, 3, {}, replaced);
        row("other case: another number", Five, { "txtParameter_0=g-101" }, -1, 6, {}, { SavedOld });
        row("B new", Five, { "txtParameter_0=NEW-1", "txtBearingB_0=32310" }, -1, 6, copy("32310", 1, 0.37f, 1.6f), { SavedNew });
        row("A new of type 4: zero factors", Five, { "txtParameter_0=N4", "txtBearingA_0=7210C", "cboTypeA=4" }, -1, 6,
            copy("7210C", 4), { SavedNew });
        row("torn tails kept in backups", Torn, { "txtParameter_0=NEW-1", "txtBearingA_0=32310", "txtBearingB_0=32312" }, -1, 6,
            copy("32310", 1, 0.37f, 1.6f) + copy("32312", 1, 0.37f, 1.6f),
            { SavedNew + u"\ngear.sav 末尾有 50 个字节不是完整记录，已删去；原文件已保存为 <dir>gear.bak"
                         u"\nbearing.sav 末尾有 10 个字节不是完整记录，已删去；原文件已保存为 <dir>bearing.bak"_s });
        // A character GBK lacks would be stored as '?' (and then find another number's record).
        row("number outside GBK refused", Five, { "txtParameter_0=P😁1" }, -1, 0, {},
            { u"编号中的字符 😁 不能保存（GBK 编码中没有）"_s });
        row("model outside GBK refused", Five, { "txtParameter_0=N", "txtBearingB_0=😀60𠀀" }, -1, 0, {},
            { u"型号中的字符 😀、𠀀 不能保存（GBK 编码中没有）"_s });
        row("span 40000: conversion fault, nothing written", Five,
            { "txtParameter_0=N", "txtBearingA_0=32310", "txtParameter_3=40000" }, -1, 0, {}, { u"数值溢出  "_s });
    }
    // clang-format on
    void save()
    {
        QFETCH(int, files);
        QFETCH(QStringList, changes);
        QFETCH(int, answer);
        QFETCH(int, recordNo);
        QFETCH(QByteArray, appended);
        QFETCH(QStringList, messages);
        const QString dir
            = QDir::toNativeSeparators(RecordFiles::appDirectory()) + QDir::separator();
        messages.replaceInStrings(u"<dir>"_s, dir);
        if (files != None)
            fiveRecords();
        QByteArray gear = files ? readFile(RecordFiles::gearPath()) : QByteArray();
        const QByteArray bearings = files ? readFile(RecordFiles::bearingPath()) : QByteArray();
        const QByteArray tornGear = gear + QByteArray(50, 'S'),
                         tornBearings = bearings + "0123456789";
        if (files == Torn)
            QVERIFY(writeFile(RecordFiles::gearPath(), tornGear)
                && writeFile(RecordFiles::bearingPath(), tornBearings));
        FakeWindow window;
        window.apply(changes);
        ScriptedPrompter prompter;
        prompter.answers << answer;
        QCOMPARE(saveWindow(window, prompter), recordNo);
        QCOMPARE(prompter.texts(), messages);
        for (const ScriptedPrompter::Shown &box : std::as_const(prompter.shown)) {
            const int buttons = box.text == Question ? Prompter::Yes | Prompter::No : Prompter::Ok;
            QCOMPARE(box.buttons, buttons);
            QCOMPARE(box.defaultButton, buttons & Prompter::Yes ? Prompter::Yes : Prompter::Ok);
            QVERIFY(box.title == u"Tolvenar"_s && box.icon == Prompter::Icon::Information);
        }
        const auto field = [&window](const char *box, int width) {
            return window.texts.value(QString::fromLatin1(box))
                .toLatin1()
                .leftJustified(width, ' ');
        };
        if (recordNo > gear.size() / 116)
            gear += QByteArray(116, '\0');
        if (recordNo) // record 5 with the same number stays untouched
            gear.replace((recordNo - 1) * 116, 74,
                QByteArray(field("txtParameter_0", 15) + workedShaftBytes().mid(15, 35)
                    + field("txtBearingA_0", 12) + field("txtBearingB_0", 12)));
        QCOMPARE(readFile(RecordFiles::gearPath()), gear);
        QCOMPARE(readFile(RecordFiles::bearingPath()), bearings + appended);
        QCOMPARE(readFile(dir + u"gear.bak"_s), files == Torn ? tornGear : "<missing>");
        QCOMPARE(readFile(dir + u"bearing.bak"_s), files == Torn ? tornBearings : "<missing>");
    }

    // The number is looked for again after the question: another copy of the program rewrote
    // gear.sav meanwhile, G-101 is now record 2.
    void numberFoundAgainAfterTheQuestion()
    {
        fiveRecords();
        Prompts prompter;
        prompter.whileAsking = [] {
            writeFile(RecordFiles::gearPath(),
                encodeShaft(oneGearShaft(u"A-1"_s)) + encodeShaft(oneGearShaft(u"G-101"_s)));
        };
        QCOMPARE(saveWindow(FakeWindow(), prompter), 2);
        QCOMPARE(readFile(RecordFiles::gearPath()).size(), 2 * 116);
        QCOMPARE(readFile(RecordFiles::gearPath()).mid(116, 74), workedShaftBytes());
    }

    // Gear 2 empty rather than 0; no txtWeight: self-weight is off, the stored 25 kg are not shown;
    // A's type after the options, so that its type rules win; B not in the catalogue.
    void shaftPlans()
    {
        QCOMPARE(
            shown(Recall::shaftPlan(oneGearShaft(), bearing("30208", 1, 0.37f, 1.6f, 0, 63), {})),
            u"txtParameter_0=G-7 txtParameter_1=5 txtParameter_2=1450 txtParameter_3=260 "
            "txtParameter_4=180 txtGear_0=130 txtGear_1=96 txtGear_2=8 txtGear_3=20 txtGear_4= "
            "txtGear_5= txtGear_6= txtGear_7= optGear1_0:1 optGear1_1:0 optGear2_0:0 optGear2_1:0 "
            "chkWeight!0 optAssembleA:1 optAssembleB:0 txtBearingA_0=30208 txtBearingB_0=6208 "
            "txtBearingA_1=0.37 txtBearingA_2=1.6 txtBearingA_3=0 txtBearingA_4=63 cboTypeA#1 "
            "txtParameter_0^0"_s);
        QCOMPARE(Recall::powerText(5, 5.01f), u"5/5.01"_s); // 0.0100002 in floats
        // Each option bit in its place (gear 1 left, gear 2 left, self-weight, B): the weight
        // after both mountings; a type beyond the five list entries selects nothing.
        ShaftRecord r = oneGearShaft();
        r.Flags = 64 + 16 + 4 + 1, r.WeightKg = -3;
        const QString plan = shown(Recall::shaftPlan(r, {}, bearing("6208", 7, 0, 0, 0, 29.5f)));
        QVERIFY2(plan.contains(u"optGear1_0:1 optGear1_1:0 optGear2_0:1 optGear2_1:0 chkWeight!1 "
                               "optAssembleA:0 optAssembleB:1 txtWeight=-3 "_s)
                && plan.contains(u"txtBearingB_4=29.5"_s) && !plan.contains(u'#'),
            qPrintable(plan));
    }

    // The first of two records; a Cr of 0.001 counts as absent. B typed as A's model (case and
    // trailing blanks aside) takes A's boxes as they stand, unsaved edit and empty box included:
    // no type, no caret, no file read.
    void bearingLookups()
    {
        writeFile(RecordFiles::bearingPath(),
            slot("7208C", 36.8f).replace(12, 1, "\4") + bearingSlot("7208C", 1, 1, 1, 1, 99)
                + bearingSlot("T1", 0, 0.3f, 2, 3, 0.001f));
        Plan plan;
        QVERIFY(Recall::planBearingRecall(Recall::Side::B, u"7208c"_s, plan));
        QCOMPARE(shown(plan),
            u"txtBearingB_1=0 txtBearingB_2=0 txtBearingB_3=0 txtBearingB_4=36.8 cboTypeB#4 txtBearingB_0^0"_s);
        QVERIFY(!Recall::planBearingRecall(Recall::Side::A, u"7209C"_s, plan) && plan.isEmpty());
        QVERIFY(!Recall::planBearingRecall(Recall::Side::A, u"T1"_s, plan));
        QFile::remove(RecordFiles::bearingPath());
        QVERIFY(Recall::planBearingBRecall(
            u"NU208"_s, u"nu208  "_s, { u"0.4"_s, u"1.5"_s, {}, u"80"_s }, plan));
        QCOMPARE(
            shown(plan), u"txtBearingB_1=0.4 txtBearingB_2=1.5 txtBearingB_3= txtBearingB_4=80"_s);
        QVERIFY(!QFile::exists(RecordFiles::bearingPath()));
    }

    // Lines of the worked example's two files and number forms (the lines between are fixed
    // labels). "编号" fills columns 1-4 (two bytes a character): the number starts in column 6, the
    // date after "计算日期" in column 11; "编号:" fills 1-5, the number starts in column 8. 6587051
    // h / 10000 -> 658.71; 6961850 / 10000 as a float is 696.18499...: 696.18. The detailed file's
    // mountings are those the window shows when the command runs (B), not those computed (A).
    // clang-format off
    void reportLines_data()
    {
        QTest::addColumn<bool>("detailed");
        QTest::addColumn<CalcInput>("in");
        QTest::addColumn<CalcResult>("r");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("text");
        CalcInput in = workedInput();
        CalcResult r = workedResult();
        const auto row = [&](const char *name, bool detailed, int line, const char16_t *text) {
            QTest::newRow(name) << detailed << in << r << line << QString::fromUtf16(text);
        };
        row("report: number", false, 2, u"编号 G-101");
        row("report: powers", false, 3, u"P=  30 / 20 kW  n= 1000 rpm  L1= 80 mm");
        row("report: A", false, 5, u"A 轴承 30216 Cr= 150 kN  LhA= 658.71 万小时");
        row("report: B, life rounded down", false, 6, u"B 轴承 30216 Cr= 150 kN  LhB= 696.18 万小时");
        row("report: A forces", false, 15, u"RA=  3140.79  FaA=  981.5  PA=  3140.79 ");
        row("report: B forces", false, 17, u"RB=  3110.86  FaB=  1152.96  PB=  3089.08 ");
        row("report: date", false, 19, u"计算日期  2024/3/9");
        row("detail: number", true, 4, u"编号:  G-101");
        row("detail: powers", true, 6, u"30,20,1000,286.5,191,300,180");
        row("detail: gears", true, 10, u"80,200,10,20,1,90,120,12,20,0");
        row("detail: B padded to 12", true, 17, u"\"30216       \",1,0.37,1.6,0,150");
        row("detail: mountings at command time", true, 20, u"#FALSE#,#TRUE#");
        row("detail: self-weight", true, 23, u"0,0");
        row("detail: gear forces", true, 27, u"2865,1058.86,-505.18,3183.33,1184.52,676.64");
        row("detail: gear 2 resolved", true, 30, u"3183.33,0,0,-1184.52");
        row("detail: reactions", true, 33, u"850.52,-724.86,-2992.33,-3056");
        row("detail: internal axial forces", true, 36, u"981.5,-972.14");
        row("detail: A", true, 39, u"3140.79,981.5,3140.79");
        row("detail: B", true, 42, u"3110.86,1152.96,3089.08");
        row("detail: lives", true, 45, u"6587051,6961850");
        in.P1 = in.P2 = 5.5f, in.n = 960, in.L1 = 120;
        row("one power", false, 3, u"P=  5.5 kW  n= 960 rpm  L1= 120 mm");
        in.P2 = 5.50005f; // the float difference is about 0.00005
        row("difference below 0.0001: one power", false, 3, u"P=  5.5 kW  n= 960 rpm  L1= 120 mm");
        in.P2 = 3;
        row("two powers", false, 3, u"P=  5.5 / 3 kW  n= 960 rpm  L1= 120 mm");
        in.P1 = in.P2 = 0.75f, in.n = -960, in.L1 = -12;
        row("sign in place of the blank, leading zero", false, 3, u"P=  0.75 kW  n=-960 rpm  L1=-12 mm");
        in = workedInput();
        in.ModelA = u" 6208       "_s, in.CrA = 29.5f, r.LhA = 123456.7f;
        row("leading blank of the model, 12.34567 -> 12.35", false, 5, u"A 轴承  6208 Cr= 29.5 kN  LhA= 12.35 万小时");
        r.Ft1 = -12.5f, r.Fr1 = 0.5f, r.Fa1 = 0;
        row("comma line, negative", false, 11, u"-12.5,0.5,0");
        r.Ft2 = 12345678, r.Fr2 = -0.000001f, r.Fa2 = 0.1f;
        row("comma line, exponents", false, 13, u"1.234568E+07,-1E-06,0.1");
    }
    // clang-format on
    void reportLines()
    {
        QFETCH(bool, detailed);
        QFETCH(CalcInput, in);
        QFETCH(CalcResult, r);
        QFETCH(int, line);
        QFETCH(QString, text);
        const QStringList all = detailed ? DetailedDataLines(in, r, u"G-101"_s, false, true)
                                         : ResultReportLines(in, r, u"G-101"_s, u"2024/3/9"_s);
        QCOMPARE(all.size(), detailed ? 45 : 19);
        QCOMPARE(all.at(line - 1), text);
    }

    // Both commands through the dialog: the name proposed (the number text, then the path chosen
    // before) with the text-file filter, an existing file replaced without a question, GBK with
    // CR LF, the chosen path kept; Cancel writes nothing and stays silent.
    void writtenThroughTheDialog()
    {
        QTemporaryDir dir;
        const QString report = dir.filePath(u"r.txt"_s), detail = dir.filePath(u"d.txt"_s);
        writeFile(report, QByteArray(5000, 'x'));
        Prompts prompter;
        prompter.savePaths = { report, detail, QString() };
        QString name = u"previous.txt"_s;
        const CalcInput in = workedInput();
        const auto result = [&](const QString &number) {
            return ReportDialog::save(prompter, name, number, [&](const QString &path) {
                return writeResultReport(path, in, workedResult(), number, u"2024/3/9"_s);
            });
        };
        const auto detailed = [&] {
            return ReportDialog::save(prompter, name, name, [&](const QString &path) {
                return writeDetailedData(path, in, workedResult(), u"G-101"_s, true, false);
            });
        };
        QVERIFY(result(u"G-101"_s) && name == report && detailed() && name == detail);
        QVERIFY(!result(u"G-7"_s) && name == u"G-7"_s && !detailed());
        QCOMPARE(prompter.proposed.join(u' '),
            u"G-101|文本文件(*.txt) %1|文本文件(*.txt) G-7|文本文件(*.txt) G-7|文本文件(*.txt)"_s
                .arg(report));
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);

        const QByteArray bytes = readFile(report), detailBytes = readFile(detail);
        QCOMPARE(bytes.count("\r\n") + bytes.count('\n'), 2 * 19);
        QVERIFY(bytes.startsWith("* * * * * Tolvenar * * * * *\r\n\xb1\xe0\xba\xc5 G-101\r\n"));
        QCOMPARE(detailBytes.count("\r\n"), 45);
        QVERIFY(detailBytes.contains("\xa3\xac"
                                     "1")); // the full-width comma of line 22
        QVERIFY(detailBytes.endsWith("LhA,LhB //\r\n6587051,6961850\r\n"));
    }

    // What a merge into a bearing.sav holding SKF23052 appends: plausible records with new models.
    // clang-format off
    void mergeRules_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("appended");
        const auto kept = [](const char *name, const QByteArray &r) { QTest::newRow(name) << r << r; };
        const auto skipped = [](const char *name, const QByteArray &r) { QTest::newRow(name) << r << QByteArray(); };
        const float nan = std::numeric_limits<float>::quiet_NaN();
        kept("ordinary bearing", bearingSlot("22220"));
        kept("model filling all 12 bytes", bearingSlot("NU2210ECJ/C3"));
        const QByteArray a = bearingSlot("NEWA", 1, 0.35f, 1.7f, 0, 64.5f, 50, 90, 20, '\xEE');
        QTest::newRow("all nine fields byte for byte, unused bytes blank") << a << a.left(35) + QByteArray(13, ' ');
        QTest::newRow("source order") << bearingSlot("NEWB") + bearingSlot("skf23052") + bearingSlot("NEWA") << bearingSlot("NEWB") + bearingSlot("NEWA");
        kept("type 4 with zero factors", bearingSlot("7210", 4, 0, 0, 0, 50));
        skipped("type 5", bearingSlot("X5", 5));
        QTest::newRow("blank model skipped, the walk goes on") << bearingSlot("") + bearingSlot("NEXT") << bearingSlot("NEXT");
        skipped("zero-filled model", bearingSlot(QByteArray(12, '\0')));
        skipped("model of tabs: blank", bearingSlot("\t \t"));
        skipped("model not GBK", bearingSlot("AB\xD6 C\x7F"));
        skipped("negative e", bearingSlot("E-", 0, -0.01f));
        skipped("e exactly 1", bearingSlot("E1", 0, 1));
        skipped("negative Y1", bearingSlot("Y1-", 0, 0.3f, -0.01f));
        skipped("Y1 exactly 10", bearingSlot("Y110", 0, 0.3f, 10));
        skipped("negative Y2", bearingSlot("Y2-", 0, 0.3f, 2, -0.01f));
        skipped("Y2 exactly 10", bearingSlot("Y210", 0, 0.3f, 2, 10));
        skipped("Cr exactly 1", bearingSlot("CR1", 0, 0.3f, 2, 3, 1));
        skipped("Cr exactly 20000", bearingSlot("CR2", 0, 0.3f, 2, 3, 20000));
        skipped("Cr not a number", bearingSlot("CRNAN", 0, 0.3f, 2, 3, nan));
        skipped("model differing only in case", bearingSlot("skf23052"));
        kept("leading blank makes another model", bearingSlot(" SKF23052"));
        QTest::newRow("same model twice: the first one once") << bearingSlot("NEW1") + bearingSlot("NEW1", 1) << bearingSlot("NEW1");
        QTest::newRow("case variants inside the source: once") << bearingSlot("Nu2205") + bearingSlot("NU2205") << bearingSlot("Nu2205");
        QTest::newRow("implausible first copy does not block a plausible second") << bearingSlot("N3", 5) + bearingSlot("N3") << bearingSlot("N3");
    }
    // clang-format on
    void mergeRules()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, appended);
        const Combiner::MergeResult r = merge(bearingSlot("SKF23052"), source);
        QVERIFY(!r.stopped && r.targetCount >= 0);
        QCOMPARE(r.added, int(appended.size() / 48));
        QCOMPARE(readFile(m_target), bearingSlot("SKF23052") + appended);
    }

    // Nothing to add leaves a torn target alone; a new record replaces the tail after the file
    // was kept in bearing.bak, which the closing note names.
    void tornTailOfTheTarget()
    {
        const QByteArray torn = bearingSlot("6205") + bearingSlot("6206") + QByteArray(20, 'x');
        QCOMPARE(merge(torn, bearingSlot("6206")).added, 0);
        QCOMPARE(mergeNow(m_target).added, 0); // into itself
        QCOMPARE(readFile(m_target), torn);
        const Combiner::MergeResult r = merge(torn, bearingSlot("6207"));
        QCOMPARE(r.targetCount, 3);
        QCOMPARE(readFile(m_target), torn.left(96) + bearingSlot("6207"));
        QCOMPARE(readFile(m_dir->filePath(u"bearing.bak"_s)), torn);
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
        target.close(), source.close();
        QElapsedTimer timer;
        timer.start();
        const Combiner::MergeResult r = mergeNow();
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(r.added, 0);
        QCOMPARE(r.stopped->reason, u"记录数已达上限 32767，不能再添加记录"_s);
        QCOMPARE(QFileInfo(m_target).size(), qint64(1) << 30);
        QCOMPARE(merge(QByteArray(MaxRecords * 48, '\0'), bearingSlot("NEW")).stopped->reason,
            u"记录数已达上限 32767，不能再添加记录"_s); // exactly full: the source is not read
    }

    // The window: a missing target created empty, the count of whole records when it opens; a
    // typed source merges nothing, only the dialog chooses; the merge stops when the target
    // reaches 32767 records, keeps what was added and says so in the failure box.
    void window()
    {
        Prompts prompter;
        QPointer<frmCombiner> w = new frmCombiner(prompter);
        QCOMPARE(view(w), u"目标文件中有 0 个记录"_s);
        QVERIFY(QFile::exists(m_target));
        delete w;
        writeFile(m_target, bearingSlot("M").repeated(32766) + "torn");
        writeFile(m_source, bearingSlot("M") + bearingSlot("NEW1") + bearingSlot("NEW2"));
        w = new frmCombiner(prompter);
        QCOMPARE(view(w), u"目标文件中有 32766 个记录"_s);
        QCOMPARE(child<QLineEdit>(w, "txtDestination")->text(), QDir::toNativeSeparators(m_target));
        QVERIFY(!child<QPushButton>(w, "cmdStart")->isEnabled());
        QTest::keyClicks(child<QLineEdit>(w, "txtResource"), m_source);
        QVERIFY(child<QPushButton>(w, "cmdStart")->isEnabled());
        click(w, "cmdOpenFile"); // cancelled
        click(w, "cmdStart");
        QCOMPARE(QFileInfo(m_target).size(), 32766 * 48 + 4);
        prompter.openPaths = { m_source };
        click(w, "cmdOpenFile");
        QCOMPARE(prompter.proposed, QStringList(2, u"打开|记录文件(*.sav)"_s));
        QCOMPARE(child<QLineEdit>(w, "txtResource")->text(), QDir::toNativeSeparators(m_source));
        click(w, "cmdStart");
        QCOMPARE(view(w), u"目标文件中有 32767 个记录  新增 1 个记录"_s);
        QCOMPARE(readFile(m_target).mid(32766 * 48, 35), bearingSlot("NEW1").left(35));
        QCOMPARE(prompter.shown.size(), 2); // the stop, then the torn tail kept
        QVERIFY(isFailureBox(prompter.shown.at(0)));
        QVERIFY(prompter.shown.at(0).text.startsWith(QDir::toNativeSeparators(m_target)));
        QVERIFY(prompter.shown.at(0).text.contains(u"合并在源文件第 3 个记录处停止"_s));
        w->show();
        click(w, "cmdExit");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w); // closed and unloaded
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
