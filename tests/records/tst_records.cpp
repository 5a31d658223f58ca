// The record files byte for byte, their lock, saving and recalling, both reports, the merger.

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

#include <QtTest>
#include <QtWidgets>

#include <cstdio>

using namespace RecordLayout;
using namespace Fixture;
using namespace Qt::Literals::StringLiterals;
using Recall::Plan;

namespace {

// Meanwhile: G-101 moves while the question is open; Capped: gear.sav holds the record limit.
enum Files { None, Five, Torn, Meanwhile, Capped };
const QString Question = u"编号 G-101 已经用过。是否替换？"_s, SavedOld = u"参数已保存     "_s;
const QString SavedNew = u"参数已保存,快用工具\\数据管理器完善. "_s;
const QString Full = u"记录数已达上限 32767，不能再添加记录"_s,
              Replaced = Question + u'\n' + SavedOld;

// A plan as text: "box=text", "option:1", "check!1", "combo#position", "box^0" (caret to the end).
QString shown(const Plan &plan)
{
    QStringList out;
    for (const Recall::Assignment &a : plan)
        out << controlName(a.field) + QLatin1Char("=:!#^"[a.kind])
                + (a.kind == Recall::Assignment::Text ? a.text : QString::number(a.value));
    return out.join(u' ');
}

// P2 5.005 kW next to P1 5, gear 2 all zeros, gear 1 force left, optAssembleA, 25 kg stored unused.
ShaftRecord oneGearShaft(const QString &no = u"G-7            "_s)
{
    return { no, 5, 5.005f, 1450, 260, 180, { 130, 96, 8, 20, 0, 0, 0, 0 }, 64 + 2, 25,
        u"30208       "_s, u"6208        "_s };
}

// A bearing slot as the program writes it: no dimensions, zero unused bytes.
const auto slot = [](const QByteArray &model, float cr, int type = 0, float e = 0, float y1 = 0) {
    return bearingSlot(model, type, e, y1, 0, cr, 0, 0, 0, '\0');
};

// Name | files | "box=text|.." | answer (-1: none) | record saved | bearing.sav added | boxes
const std::tuple<const char *, Files, const char *, int, int, QByteArray, QString> SaveRows[] = {
    // clang-format off
    { "no files: record 1, no question, 30216 once", None, "", -1, 1, slot("30216", 150, 1, 0.37f, 1.6f), SavedNew },
    { "Yes replaces the first of two", Five, "", Prompter::Yes, 3, {}, Replaced },
    { "the first record's number is asked about too", Five, "txtParameter_0=A-1", Prompter::Yes, 1, {}, u"编号 A-1 已经用过。是否替换？\n"_s + SavedOld },
    { "number looked for again after the question", Meanwhile, "", Prompter::Yes, 2, {}, Replaced },
    { "No writes nothing, not even a new bearing", Five, "txtBearingB_0=32310", Prompter::No, 0, {}, Question },
    { "trailing blanks: the same number", Five, "txtParameter_0=G-101   ", Prompter::Yes, 3, {}, Replaced },
    { "other case: another number", Five, "txtParameter_0=g-101", -1, 6, {}, SavedOld },
    { "A new of type 4: zero factors", Five, "txtParameter_0=N4|txtBearingA_0=7210C|cboTypeA=4", -1, 6, slot("7210C", 150, 4), SavedNew },
    { "torn tails kept in backups", Torn, "txtParameter_0=NEW-1|txtBearingA_0=32310|txtBearingB_0=32312", -1, 6,
      slot("32310", 150, 1, 0.37f, 1.6f) + slot("32312", 150, 1, 0.37f, 1.6f), SavedNew + u"\ngear.sav 末尾有 50 个字节不是完整记录，已删去；原文件已保存为 <dir>gear.bak"
                                                                                    u"\nbearing.sav 末尾有 1 个字节不是完整记录，已删去；原文件已保存为 <dir>bearing.bak" },
    { "number outside GBK refused", Five, "txtParameter_0=P😁1", -1, 0, {}, u"编号中的字符 😁 不能保存（GBK 编码中没有）"_s },
    { "model outside GBK refused", Five, "txtParameter_0=N|txtBearingB_0=😀60𠀀", -1, 0, {}, u"型号中的字符 😀、𠀀 不能保存（GBK 编码中没有）"_s },
    { "gear.sav at the limit: a new number refused", Capped, "txtParameter_0=N", -1, 0, {}, u"<dir>gear.sav: "_s + Full },
    { "span 40000: conversion fault, nothing written", Five, "txtParameter_0=N|txtBearingA_0=32310|txtParameter_3=40000", -1, 0, {}, u"数值溢出  "_s },
    // clang-format on
};

const auto crOf = [](const QString &key) {
    return (*Module1::FindBearingRecord(key)).value_or(BearingRecord {}).Cr;
};

QString appendOutcome(const QString &model, float cr = 1, int type = 0, float e = 0)
{
    const auto added = Module1::AppendBearingRecord(model, type, e, 0, 0, cr);
    return !added ? added.error().reason : *added ? u"added"_s : u"there"_s;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

    std::unique_ptr<AppDirectory> m_dir;
    QString m_gear, m_bearing, m_other; // m_other: a merge's source

    // Merges m_other (or from) into bearing.sav, after writing both when bytes are given.
    Combiner::MergeResult merge(
        const QByteArray &target = {}, const QByteArray &source = {}, const QString &from = {})
    {
        if (!target.isEmpty() && writeFile(m_bearing, target))
            writeFile(m_other, source);
        const auto r = Combiner::mergeBearingFiles(from.isEmpty() ? m_other : from, m_bearing);
        return !r ? Combiner::MergeResult { -1, -1, r.error(), {} }
                  : r->value_or(Combiner::MergeResult { -2, -2, {}, {} });
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init()
    {
        m_dir = std::make_unique<AppDirectory>();
        m_gear = RecordFiles::gearPath(), m_bearing = RecordFiles::bearingPath();
        m_other = m_dir->filePath(u"other.sav"_s);
    }

    // Hand-made records; unused bytes ignored when read, zeros when written; NaN kept bit for bit.
    void layouts()
    {
        const QByteArray shaft = QByteArray::fromHex("4a2d313031 20202020202020202020 0000b040"
                                                     "00001040 0080bb44 2c01 a6ff 3c00 fa00 0c00"
                                                     "1400 ffff e803 0000 0080 4e ff7f d6d0cec4"
                                                     "3632303520202020 4e5532323130452020202020")
            + QByteArray(42, '\0');
        const ShaftRecord r { u"J-101"_s, 5.5f, 2.25f, 1500, 300, -90,
            { 60, 250, 12, 20, -1, 1000, 0, -32768 }, 78, 32767, u"中文6205"_s, u"NU2210E"_s };
        const ShaftRecord s
            = decodeShaft(QByteArray(shaft.left(74) + QByteArray(42, '\xCC')).constData());
        QCOMPARE(encodeShaft(r) + encodeShaft(s), shaft + shaft);
        QCOMPARE(s.ShaftNo + u'|' + s.ModelA + u'|', u"J-101          |中文6205      |"_s);
        // "30207" and 7 blanks | type 1 | d 35, D 72, B -2 | e, Y1, Y2, Cr | 13 unused
        const QByteArray b = QByteArray::fromHex("333032303720202020202020 01 2300 4800 feff"
                                                 "0000c03e 0000e03f 0000003f 00007f42")
            + QByteArray(13, '\0');
        const BearingRecord d
            = decodeBearing(QByteArray(b.left(35) + QByteArray(13, 'x')).constData());
        QCOMPARE(encodeBearing({ u"30207"_s, 1, 35, 72, -2, 0.375f, 1.75f, 0.5f, 63.75f })
                + encodeBearing(d) + d.Model.toLatin1(),
            b + b + "30207       ");
        const float nan = std::bit_cast<float>(0x7FC00123U), inf = qInf();
        const QByteArray hostile = bearingSlot("AB\xD6 C      \xD6", 9, nan, inf, -inf, nan, -1);
        const BearingRecord h = decodeBearing(hostile.constData());
        QCOMPARE(h.Model + decodeText("ABCDEFGHI \x81\xFE", 12), // a pair's last trail byte
            u"AB\uFFFD C      \uFFFDABCDEFGHI \u4FA2 "_s);
        QCOMPARE(encodeBearing(h).mid(12, 23), hostile.mid(12, 23));
    }

    // Lookups ("K": Cr, "#": shaft recall, only B on file; "A/B": bearing recall; "-": none found).
    void lookups_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        // clang-format off
        QTest::newRow("trailing blanks") << u"KNJ210   "_s << u"1"_s;
        QTest::newRow("longer than the field, blanks") << u"KNJ210              "_s << u"1"_s;
        QTest::newRow("lower case") << u"Knj210"_s << u"0"_s;
        QTest::newRow("leading blank stored") << u"K 6206"_s << u"2"_s;
        QTest::newRow("leading blank missing") << u"K6206"_s << u"0"_s;
        QTest::newRow("leading blank extra") << u"K 6205"_s << u"0"_s;
        QTest::newRow("first of two") << u"K6205"_s << u"3"_s;
        QTest::newRow("shaft typed in lower case") << u"#g-7"_s << u"txtBearingB_1=0.24 txtBearingB_2=2.8 txtBearingB_3=4.2 txtBearingB_4=29.5 cboTypeB#0"_s;
        QTest::newRow("shaft P1 of 0.001 counts as absent") << u"#TINY"_s << u"-"_s;
        QTest::newRow("shaft not on file") << u"#G-8"_s << u"-"_s;
        QTest::newRow("bearing: first of two, case aside, caret to the end") << u"B7208c"_s << u"txtBearingB_1=0 txtBearingB_2=0 txtBearingB_3=0 txtBearingB_4=36.8 cboTypeB#4 txtBearingB_0^0"_s;
        QTest::newRow("bearing not on file") << u"A7209C"_s << u"-"_s;
        QTest::newRow("bearing Cr of 0.001 counts as absent") << u"AT1"_s << u"-"_s;
        // clang-format on
    }
    void lookups()
    {
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeFile(m_bearing,
            slot("NJ210", 1) + slot(" 6206", 2) + slot("6205", 3) + slot("6205", 4)
                + bearingSlot("6208", 0, 0.24f, 2.8f, 4.2f, 29.5f) + slot("7208C", 36.8f, 4)
                + bearingSlot("7208C", 1, 1, 1, 1, 99) + bearingSlot("T1", 0, 0.3f, 2, 3, 0.001f));
        ShaftRecord tiny = oneGearShaft(u"TINY"_s), small = oneGearShaft();
        tiny.P1 = 0.001f; // at the bound: absent
        small.P1 = 0.00105f; // just above: found
        writeFile(m_gear, encodeShaft(tiny) + encodeShaft(small));
        const QChar kind = key.at(0);
        const auto side = kind == u'A' ? Recall::Side::A : Recall::Side::B;
        Plan plan;
        const bool found = kind == u'#' ? Recall::planShaftRecall(key.mid(1), plan)
                                        : Recall::planBearingRecall(side, key.mid(1), plan);
        QString got = found ? shown(plan) : u'-' + shown(plan);
        if (kind == u'#' && found) // B's factors and type
            got = got.split(u' ')
                      .filter(QRegularExpression(u"^(txtBearing._[1-4]|cbo)"_s))
                      .join(u' ');
        QCOMPARE(kind == u'K' ? QString::number(crOf(key.mid(1))) : got, expected);
    }

    // Appends (no duplicate, whole GBK characters, no torn slot), the record limit, rewrites, lock.
    void writers()
    {
        QVERIFY(!*Module1::FindShaftRecord(u"1"_s) && readFile(m_gear).isEmpty()); // made empty
        RecordFiles::setAppDirectory({}); // the build folder is writable: the files lie beside us
        QCOMPARE(RecordFiles::appDirectory(), QCoreApplication::applicationDirPath());
        RecordFiles::setAppDirectory(m_dir->path());
        QCOMPARE(
            QStringList({ appendOutcome(u"6205"_s, 63.75f, 3, 0.25f), appendOutcome(u"6205  "_s),
                appendOutcome(u"A深沟球轴承型号"_s, 2), appendOutcome(u"A深沟球轴承型号"_s, 3) }),
            QStringList({ u"added"_s, u"there"_s, u"added"_s, u"there"_s }));
        const QByteArray two = slot("6205", 63.75f, 3, 0.25f)
            + slot(QByteArray::fromHex("41c9eeb9b5c7f2d6e1b3d020"), 2);
        {
            const FileSizeLimit limit(96 + 20); // the third slot stops after 20 bytes
            QVERIFY(appendOutcome(u"NEW"_s).startsWith(u"写入失败（"_s));
        }
        QVERIFY(QDir().mkdir(RecordFiles::tempPath())); // a folder where the new file is made
        QCOMPARE(appendOutcome(u"NEW"_s), u"不是一个文件"_s);
        QVERIFY(QDir().rmdir(RecordFiles::tempPath()));
        QCOMPARE(readFile(m_bearing), two);

        const QByteArray full = QByteArray((MaxRecords - 1) * 48, '\0') + slot("LAST", 7);
        writeFile(m_bearing, full + slot("BEYOND", 8)); // not read
        QCOMPARE(QList<float>({ crOf(u"LAST"_s), crOf(u"BEYOND"_s) }), QList<float>({ 7, 0 }));
        writeFile(m_bearing, full);
        QCOMPARE(appendOutcome(u"NEW"_s), Full);
        QCOMPARE(QFileInfo(m_bearing).size(), qint64(full.size()));

        QVERIFY(!RecordFiles::rewriteBearingFile(m_bearing, QList<BearingRecord>(MaxRecords + 1)));

        // A writer waits for the lock, then gives up; a lock after a replace is on the new file.
        SafeFile::Lock holder, waiter;
        QVERIFY(holder.acquire(m_other) && holder.created());
        const Result<> refused = waiter.acquire(m_other, 50);
        QCOMPARE(refused ? QString() : refused.error().text(),
            QDir::toNativeSeparators(m_other)
                + u": 另一个程序（也可能是本程序的另一个副本）正在写入这个文件，请稍后再试"_s);
        QVERIFY(writeFile(RecordFiles::tempPath(), "new"));
        QCOMPARE(QFile::permissions(m_other), QFile::permissions(RecordFiles::tempPath()));
        QCOMPARE(std::rename(qPrintable(RecordFiles::tempPath()), qPrintable(m_other)), 0);
        QVERIFY(waiter.acquire(m_other, 50) && !waiter.created());
        const Result<> noFolder = holder.acquire(m_dir->filePath(u"gone/gear.sav"_s));
        QVERIFY(!noFolder && noFolder.error().reason.startsWith(u"无法创建文件（"_s));
        QCOMPARE(*waiter.read(0, 10), QByteArray("new"));
    }

    // The worked example (G-101, 30216 of type 1) saved over A-1, A-2, G-101, A-4, G-101; 22208.
    void save_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(SaveRows)); ++i)
            QTest::newRow(std::get<0>(SaveRows[i])) << i;
    }
    void save()
    {
        QFETCH(int, row);
        const auto &[name, files, changes, answer, recordNo, appended, messages] = SaveRows[row];
        const QString dir = QDir::toNativeSeparators(m_dir->path()) + QDir::separator();
        QByteArray gear;
        for (const QString &no : files ? u"A-1 A-2 G-101 A-4 G-101"_s.split(u' ') : QStringList())
            gear += encodeShaft(oneGearShaft(no));
        const QByteArray bearings
            = files ? QByteArray(bearingSlot("22208") + bearingSlot("30216")) : "";
        const QByteArray tails[]
            = { QByteArray(files == Torn ? 50 : 0, 'S'), QByteArray(files == Torn ? 1 : 0, 'T') };
        gear += QByteArray(files == Capped ? (MaxRecords - 5) * 116 : 0, '\0');
        if (files)
            QVERIFY(
                writeFile(m_gear, gear + tails[0]) && writeFile(m_bearing, bearings + tails[1]));
        FakeWindow window;
        window.apply(QString::fromUtf8(changes).split(u'|'));
        ScriptedPrompter prompter;
        prompter.answers << answer;
        if (files == Meanwhile) // another copy of the program rewrites gear.sav during the question
            prompter.whileShown = [&, asking = true]() mutable {
                if (std::exchange(asking, false))
                    writeFile(m_gear, gear = gear.left(116) + gear.mid(2 * 116, 116)); // A-1, G-101
            };
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        QCOMPARE(SaveParameters(window, input, flags, copies, prompter).recordNo, recordNo);
        QCOMPARE(prompter.texts().join(u'\n').replace(dir, u"<dir>"_s), messages);
        for (const ScriptedPrompter::Shown &box : std::as_const(prompter.shown)) {
            const int buttons
                = box.text.endsWith(u"是否替换？") ? Prompter::Yes | Prompter::No : Prompter::Ok;
            QVERIFY(box.buttons == buttons && box.title == u"Tolvenar"_s
                && box.defaultButton == (buttons & Prompter::Yes ? Prompter::Yes : Prompter::Ok)
                && box.icon == Prompter::Icon::Information);
        }
        const auto field = [&window](const char *box, int width) {
            return window.texts.value(QString::fromLatin1(box)).toLatin1().leftJustified(width);
        };
        const QByteArray backups = files == Torn ? QByteArray(gear + tails[0] + bearings + tails[1])
                                                 : "<missing><missing>";
        if (recordNo > gear.size() / 116)
            gear += QByteArray(116, '\0');
        if (recordNo) // record 5 with the same number stays untouched
            gear.replace((recordNo - 1) * 116, 74,
                QByteArray(field("txtParameter_0", 15) + workedShaftBytes().mid(15, 35)
                    + field("txtBearingA_0", 12) + field("txtBearingB_0", 12)));
        QCOMPARE(readFile(m_gear), gear);
        QCOMPARE(readFile(m_bearing), bearings + appended);
        QCOMPARE(readFile(dir + u"gear.bak"_s) + readFile(dir + u"bearing.bak"_s), backups);
    }

    // Gear 2 empty, not 0; self-weight off: no txtWeight; A's type after the options (rules win).
    void shaftPlans()
    {
        const BearingRecord a { u"30208"_s, 1, 0, 0, 0, 0.37f, 1.6f, 0, 63 };
        const QString one = shown(Recall::shaftPlan(oneGearShaft(), a, {}));
        QVERIFY2(one.startsWith(u"txtParameter_0=G-7 txtParameter_1=5 txtParameter_2=1450 "_s)
                && one.contains(u"txtGear_3=20 txtGear_4= txtGear_5= txtGear_6= txtGear_7= "_s)
                && one.contains(
                    u" chkWeight!0 optAssembleA:1 optAssembleB:0 txtBearingA_0=30208 "_s)
                && one.endsWith(u"txtBearingA_4=63 cboTypeA#1 txtParameter_0^0"_s),
            qPrintable(one));
        QCOMPARE(Recall::powerText(5, 5.01f), u"5/5.01"_s); // 0.0100002 in floats
        // Each option bit in its place; a type beyond the five list entries selects nothing.
        ShaftRecord r = oneGearShaft();
        r.Flags = 64 + 16 + 4 + 1, r.WeightKg = -3;
        const BearingRecord b { u"6208"_s, 7, 0, 0, 0, 0, 0, 0, 29.5f };
        const QString plan = shown(Recall::shaftPlan(r, {}, b));
        QVERIFY2(plan.contains(u"optGear1_0:1 optGear1_1:0 optGear2_0:1 optGear2_1:0 chkWeight!1 "
                               "optAssembleA:0 optAssembleB:1 txtWeight=-3 "_s)
                && plan.contains(u"txtBearingB_4=29.5"_s) && !plan.contains(u'#'),
            qPrintable(plan));
        // B typed as A's model takes A's boxes as they stand: no type, no caret, no file read.
        Plan p;
        QVERIFY(Recall::planBearingBRecall(
            u"NU208"_s, u"nu208  "_s, { u"0.4"_s, u"1.5"_s, {}, u"80"_s }, p));
        QCOMPARE(
            shown(p), u"txtBearingB_1=0.4 txtBearingB_2=1.5 txtBearingB_3= txtBearingB_4=80"_s);
        QVERIFY(!QFile::exists(m_bearing));
        FileError error; // an unreadable gear.sav: nothing found, the reason given
        QVERIFY(QDir().mkdir(m_gear) && !Recall::planShaftRecall(u"G-7"_s, p, &error));
        QCOMPARE(error.reason, u"不是一个文件"_s);
    }

    // Report lines (< 0: detailed file, its mountings those shown at command time), number forms.
    void reportLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("text");
        CalcInput in = workedInput();
        CalcResult r = workedResult();
        const auto row = [&](const char *name, int line, const char16_t *text) {
            const QStringList all = line < 0 ? DetailedDataLines(in, r, u"G-101"_s, false, true)
                                             : ResultReportLines(in, r, u"G-101"_s, u"2024/3/9"_s);
            QTest::newRow(name) << all.value(std::abs(line) - 1) << QString::fromUtf16(text);
        };
        // clang-format off
        row("B, life rounded down", 6, u"B 轴承 30216 Cr= 150 kN  LhB= 696.18 万小时");
        row("A forces", 15, u"RA=  3140.79  FaA=  981.5  PA=  3140.79 ");
        row("date", 19, u"计算日期  2024/3/9");
        row("detail: number", -4, u"编号:  G-101");
        row("detail: a rule of 55 dashes", -3, u"-------------------------------------------------------");
        row("detail: B padded to 12", -17, u"\"30216       \",1,0.37,1.6,0,150");
        row("detail: mountings at command time", -20, u"#FALSE#,#TRUE#");
        in.P1 = in.P2 = 5.5f, in.n = 960, in.L1 = 120;
        row("one power", 3, u"P=  5.5 kW  n= 960 rpm  L1= 120 mm");
        in.P2 = 5.50005f; // the float difference is about 0.00005
        row("difference below 0.0001: one power", 3, u"P=  5.5 kW  n= 960 rpm  L1= 120 mm");
        in.P2 = 3;
        row("two powers", 3, u"P=  5.5 / 3 kW  n= 960 rpm  L1= 120 mm");
        in.P1 = 3e38f, in.P2 = -3e38f; // the difference is beyond a float
        row("two powers, the difference beyond a float", 3, u"P=  3E+38 /-3E+38 kW  n= 960 rpm  L1= 120 mm");
        in.P1 = in.P2 = 0.75f, in.n = -960, in.L1 = -12;
        row("sign in place of the blank, leading zero", 3, u"P=  0.75 kW  n=-960 rpm  L1=-12 mm");
        in = workedInput();
        in.ModelA = u" 6208       "_s, in.CrA = 29.5f, r.LhA = 123456.7f;
        row("leading blank of the model, 12.34567 -> 12.35", 5, u"A 轴承  6208 Cr= 29.5 kN  LhA= 12.35 万小时");
        r.Ft2 = 12345678, r.Fr2 = -0.000001f, r.Fa2 = 0.1f;
        row("comma line, exponents", 13, u"1.234568E+07,-1E-06,0.1");
        // clang-format on
    }
    void reportLines()
    {
        QFETCH(QString, line);
        QFETCH(QString, text);
        QCOMPARE(line, text);
    }

    // Both reports through the dialog: proposed name and filter, silent replace, GBK CR LF, Cancel.
    void writtenThroughTheDialog()
    {
        const QString report = m_dir->filePath(u"r.txt"_s), detail = m_dir->filePath(u"d.txt"_s);
        writeFile(report, QByteArray(5000, 'x'));
        ScriptedPrompter prompter;
        prompter.savePaths = { report, detail, QString() };
        QString name = u"previous.txt"_s;
        const auto write = [&](const QString &number, bool detailed) {
            return ReportDialog::save(prompter, name, number, [&](const QString &path) {
                return detailed
                    ? writeDetailedData(path, workedInput(), workedResult(), number, true, false)
                    : writeResultReport(path, workedInput(), workedResult(), number, u"2024/3/9"_s);
            });
        };
        QVERIFY(write(u"G-101"_s, false) && name == report && write(name, true) && name == detail);
        QVERIFY(!write(u"G-7"_s, false) && name == u"G-7"_s && !write(name, true));
        QCOMPARE(prompter.dialogs.join(u' '),
            u"|G-101|文本文件(*.txt) |%1|文本文件(*.txt) |G-7|文本文件(*.txt) |G-7|文本文件(*.txt)"_s
                .arg(report));
        QVERIFY(prompter.shown.isEmpty());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).join(u' '), u"d.txt r.txt"_s);
        const QByteArray bytes = readFile(report), detailBytes = readFile(detail);
        QCOMPARE(bytes.count("\r\n") + bytes.count('\n') + detailBytes.count("\r\n"), 2 * 19 + 45);
        QVERIFY(bytes.startsWith("* * * * * Tolvenar * * * * *\r\n\xb1\xe0\xba\xc5 G-101\r\n"));
        QVERIFY(detailBytes.contains(QByteArray::fromHex("a3ac31"))); // the full-width comma
        QVERIFY(detailBytes.endsWith("LhA,LhB //\r\n6587051,6961850\r\n"));
    }

    // A merge appends plausible records with new models (type <= 4, 0 <= e < 1, 0 <= Y1, Y2 < 10,
    // 1 < Cr < 20000, model not blank, in GBK); only then is a torn tail dropped, kept in .bak.
    void mergeRules_data()
    {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QByteArray>("appended");
        const QByteArray a = bearingSlot("NEWA", 1, 0.35f, 1.7f, 0, 64.5f, 50, 90, 20, '\xEE'),
                         b = bearingSlot("NU2210ECJ/C3");
        // clang-format off
        QTest::newRow("all fields byte for byte, unused bytes blank") << a + b << a.left(35) + QByteArray(13, ' ') + b;
        QTest::newRow("source order") << b + bearingSlot("skf23052") + a << b + a.left(35) + QByteArray(13, ' ');
        QTest::newRow("type 4 with zero factors") << bearingSlot("7210", 4, 0, 0, 0, 50) << bearingSlot("7210", 4, 0, 0, 0, 50);
        QTest::newRow("blank model skipped, the walk goes on") << bearingSlot("") + bearingSlot("NEXT") << bearingSlot("NEXT");
        QTest::newRow("type 5") << bearingSlot("X5", 5) << QByteArray();
        QTest::newRow("zero-filled, or tabs and a NUL") << bearingSlot(QByteArray(12, '\0')) + bearingSlot(QByteArray("\t\0 \t", 4)) << QByteArray();
        QTest::newRow("model not GBK") << bearingSlot("AB\xD6 C\x7F") << QByteArray();
        QTest::newRow("e below 0, e 1") << bearingSlot("E-", 0, -0.01f) + bearingSlot("E1", 0, 1) << QByteArray();
        QTest::newRow("Y1 below 0, Y1 10") << bearingSlot("Y1-", 0, 0.3f, -0.01f) + bearingSlot("Y110", 0, 0.3f, 10) << QByteArray();
        QTest::newRow("Y2 below 0, Y2 10") << bearingSlot("Y2-", 0, 0.3f, 2, -0.01f) + bearingSlot("Y210", 0, 0.3f, 2, 10) << QByteArray();
        QTest::newRow("Cr 1, 20000, not a number") << bearingSlot("CR1", 0, 0.3f, 2, 3, 1) + bearingSlot("CR2", 0, 0.3f, 2, 3, 20000) + bearingSlot("CRNAN", 0, 0.3f, 2, 3, qQNaN()) << QByteArray();
        QTest::newRow("leading blank makes another model") << bearingSlot(" SKF23052") << bearingSlot(" SKF23052");
        QTest::newRow("case variants inside the source: once") << bearingSlot("Nu2205") + bearingSlot("NU2205") << bearingSlot("Nu2205");
        QTest::newRow("implausible first copy does not block a plausible second") << bearingSlot("N3", 5) + bearingSlot("N3") << bearingSlot("N3");
        // clang-format on
    }
    void mergeRules()
    {
        QFETCH(QByteArray, source);
        QFETCH(QByteArray, appended);
        const QByteArray target = bearingSlot("SKF23052") + "torn";
        const Combiner::MergeResult r = merge(target, source);
        QCOMPARE(merge({}, {}, m_bearing).added, 0); // into itself
        QVERIFY(!r.stopped && r.targetCount == 1 + r.added && r.added == appended.size() / 48);
        QCOMPARE(r.note.startsWith(u"bearing.sav 末尾有 4 个字节不是完整记录"_s)
                && r.note.endsWith(u"bearing.bak"_s),
            r.added > 0);
        QCOMPARE(readFile(m_bearing) + readFile(m_dir->filePath(u"bearing.bak"_s)),
            r.added ? QByteArray(target.left(48) + appended + target) : target + "<missing>");
    }

    // Window: missing target made; only the dialog chooses; a merge stopped at the limit says so.
    void window()
    {
        ScriptedPrompter prompter;
        QPointer<frmCombiner> w = new frmCombiner(prompter);
        const auto at = [&](const char *n) { return w->findChild<QWidget *>(QLatin1String(n)); };
        const auto text = [&](const char *n) { return at(n)->property("text").toString(); };
        const auto click = [&](const char *n) { QTest::mouseClick(at(n), Qt::LeftButton); };
        QVERIFY(text("lblView") == u"目标文件中有 0 个记录"_s && QFile::exists(m_bearing));
        delete w;
        writeFile(m_bearing, bearingSlot("M").repeated(32766) + "torn");
        writeFile(m_other, bearingSlot("M") + bearingSlot("NEW1") + bearingSlot("NEW2"));
        w = new frmCombiner(prompter);
        QCOMPARE(text("lblView"), u"目标文件中有 32766 个记录"_s);
        QCOMPARE(text("txtDestination"), QDir::toNativeSeparators(m_bearing));
        QVERIFY(!at("cmdStart")->isEnabled());
        QTest::keyClicks(at("txtResource"), m_other);
        QVERIFY(at("cmdStart")->isEnabled());
        click("cmdOpenFile"); // cancelled
        click("cmdStart");
        QCOMPARE(QFileInfo(m_bearing).size(), 32766 * 48 + 4);
        prompter.openPaths = { m_other };
        click("cmdOpenFile");
        QCOMPARE(prompter.dialogs, QStringList(2, u"打开||记录文件(*.sav)"_s));
        QCOMPARE(text("txtResource"), QDir::toNativeSeparators(m_other));
        click("cmdStart");
        QCOMPARE(text("lblView"), u"目标文件中有 32767 个记录  新增 1 个记录"_s);
        const ScriptedPrompter::Shown stop = prompter.shown.value(0); // then the torn tail kept
        QVERIFY(prompter.shown.size() == 2 && isFailureBox(stop)
            && stop.text.contains(u"合并在源文件第 3 个记录处停止"_s)
            && stop.text.startsWith(QDir::toNativeSeparators(m_bearing)));
        w->show();
        click("cmdExit");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!w); // closed and unloaded
        // A target past the limit (sparse 1 GB) stops at once, not reading the (2 GB) source.
        QVERIFY(writeFile(m_bearing, {}) && QFile::resize(m_bearing, qint64(1) << 30)
            && writeFile(m_other, {}) && QFile::resize(m_other, qint64(2) << 30));
        const QDeadlineTimer deadline(3000);
        const Combiner::MergeResult r = merge();
        QVERIFY(!deadline.hasExpired());
        QCOMPARE(r.stopped->reason + QString::number(r.added), Full + u'0');
        QCOMPARE(QFileInfo(m_bearing).size(), qint64(1) << 30);
        QCOMPARE(
            merge(QByteArray(MaxRecords * 48, '\0'), bearingSlot("NEW")).stopped->reason, Full);
    }
};

QTEST_MAIN(TestRecords)
#include "tst_records.moc"
