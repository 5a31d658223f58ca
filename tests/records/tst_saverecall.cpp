// Saving parameters into gear.sav (replace question, closing messages, conversion faults, file
// errors) and recalling records: the window assignments in their order and the three lookups.

#include "records/recall.h"
#include "records/saveparameters.h"
#include "support/workedexample.h"

#include <QDir>
#include <QLocale>
#include <QTest>

using Fixture::readFile;
using Recall::Assignment;
using Recall::Plan;

namespace {

const QString Question = QStringLiteral("编号 G-101 已经用过。是否替换？");
const QString SavedNewBearing = QStringLiteral("参数已保存,快用工具\\数据管理器完善. ");
const QString SavedNoNewBearing = QStringLiteral("参数已保存     ");

Assignment text(const char *control, const char *value)
{
    return { Assignment::Text, QString::fromLatin1(control), QString::fromUtf8(value), 0 };
}

Assignment state(Assignment::Kind kind, const char *control, int value)
{
    return { kind, QString::fromLatin1(control), QString(), value };
}

BearingRecord bearing(const char *model, int type, float e, float y1, float y2, float cr)
{
    return { QString::fromUtf8(model), std::uint8_t(type), 0, 0, 0, e, y1, y2, cr };
}

// A one-gear shaft: P2 5.005 kW next to P1 5, gear 2 all zeros, gear 1 force left, optAssembleA,
// self-weight off although 25 kg are stored.
ShaftRecord oneGearShaft()
{
    ShaftRecord r;
    r.ShaftNo = QStringLiteral("G-7            ");
    r.P1 = 5, r.P2 = 5.005f, r.n = 1450, r.L = 260, r.ALFA = 180;
    r.GearParams = { 130, 96, 8, 20, 0, 0, 0, 0 };
    r.Flags = 64 + 2, r.WeightKg = 25;
    r.ModelA = QStringLiteral("30208       ");
    r.ModelB = QStringLiteral("6208        ");
    return r;
}

} // namespace

class TestSaveRecall : public QObject
{
    Q_OBJECT

    std::unique_ptr<Fixture::AppDirectory> m_dir;

    // gear.sav, G-101, A-4, G-101 (the number twice); bearing.sav: 22208 and 30216.
    void fiveRecords()
    {
        QByteArray gear;
        for (const char *no : { "A-1", "A-2", "G-101", "A-4", "G-101" }) {
            ShaftRecord r = oneGearShaft();
            r.ShaftNo = QString::fromLatin1(no);
            gear += RecordLayout::encodeShaft(r);
        }
        QVERIFY(Fixture::writeFile(RecordFiles::gearPath(), gear));
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            Fixture::bearingSlot("22208") + Fixture::bearingSlot("30216")));
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void init() { m_dir = std::make_unique<Fixture::AppDirectory>(); }

    void firstSaveWritesRecordOne()
    {
        ScriptedPrompter prompter;
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        const SaveOutcome out
            = SaveParameters(Fixture::FakeWindow(), input, flags, copies, prompter);
        QCOMPARE(out.kind, SaveOutcome::Saved);
        QCOMPARE(out.recordNo, 1);
        QCOMPARE(prompter.texts(), QStringList { SavedNewBearing }); // no question
        QVERIFY(Fixture::isFailureBox(prompter.shown.first())); // the same box style
        const QByteArray gear = readFile(RecordFiles::gearPath());
        QCOMPARE(gear.size(), 116);
        QCOMPARE(gear.left(74), Fixture::workedShaftBytes());
        // Both bearings are 30216: appended once. Type 1 keeps e and Y1 and stores Y2 = 0.
        const QByteArray cat = readFile(RecordFiles::bearingPath());
        QCOMPARE(cat.size(), 48);
        QCOMPARE(
            cat.left(35), Fixture::bearingSlot("30216", 1, 0.37f, 1.6f, 0, 150, 0, 0, 0).left(35));
    }

    // On gear.sav, G-101, A-4, G-101 and bearing.sav 22208, 30216; the window shows the
    // worked example under G-101 with bearings 30216.
    // clang-format off
    void save_data()
    {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<int>("answer");    // to the question, -1 when none is expected
        QTest::addColumn<int>("recordNo");  // the record now holding the window's data, 0 none
        QTest::addColumn<int>("catalogue"); // records of bearing.sav afterwards
        QTest::addColumn<QStringList>("messages");
        const auto row = [](const char *name, std::initializer_list<const char *> changes,
                             int answer, int recordNo, int catalogue, const QStringList &messages) {
            QTest::newRow(name) << Fixture::strings(changes) << answer << recordNo << catalogue << messages;
        };
        const QStringList replaced { Question, SavedNoNewBearing };
        row("Yes replaces the first of two", {}, Prompter::Yes, 3, 2, replaced);
        row("No writes nothing", {}, Prompter::No, 0, 2, { Question });
        row("trailing blanks: the same number", { "txtParameter_0=G-101   " }, Prompter::Yes, 3, 2,
            replaced);
        row("other case: another number", { "txtParameter_0=g-101" }, -1, 6, 2, { SavedNoNewBearing });
        row("B new", { "txtParameter_0=NEW-1", "txtBearingB_0=32310" }, -1, 6, 3, { SavedNewBearing });
        // A character GBK lacks would be stored as '?' (and then find another number's record).
        row("number outside GBK refused", { "txtParameter_0=P😁1" }, -1, 0, 2,
            { QStringLiteral("编号中的字符 😁 不能保存（GBK 编码中没有）") });
        row("model outside GBK refused", { "txtParameter_0=N", "txtBearingB_0=😀60𠀀" }, -1, 0, 2,
            { QStringLiteral("型号中的字符 😀、𠀀 不能保存（GBK 编码中没有）") });
        row("span 40000: conversion fault, nothing written",
            { "txtParameter_0=N", "txtBearingA_0=32310", "txtParameter_3=40000" }, -1, 0, 2,
            { QStringLiteral("数值溢出  ") });
    }
    // clang-format on
    void save()
    {
        QFETCH(QStringList, changes);
        QFETCH(int, answer);
        QFETCH(int, recordNo);
        QFETCH(int, catalogue);
        QFETCH(QStringList, messages);
        fiveRecords();
        const QByteArray gearBefore = readFile(RecordFiles::gearPath());
        const QByteArray bearingsBefore = readFile(RecordFiles::bearingPath());
        Fixture::FakeWindow window;
        window.apply(changes);
        ScriptedPrompter prompter;
        if (answer >= 0)
            prompter.answers << answer;
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        QCOMPARE(SaveParameters(window, input, flags, copies, prompter).recordNo, recordNo);
        QCOMPARE(prompter.texts(), messages);
        for (const ScriptedPrompter::Shown &box : std::as_const(prompter.shown)) {
            const bool question = box.text == Question;
            QCOMPARE(box.buttons, question ? Prompter::Yes | Prompter::No : int(Prompter::Ok));
            QCOMPARE(box.defaultButton, int(question ? Prompter::Yes : Prompter::Ok));
            QCOMPARE(box.title, QStringLiteral("Tolvenar"));
        }
        const auto field = [&window](const char *box, int width) {
            return window.texts.value(QString::fromLatin1(box))
                .toLatin1()
                .leftJustified(width, ' ');
        };
        QByteArray expected = gearBefore + QByteArray(recordNo == 6 ? 116 : 0, '\0');
        if (recordNo) // record 5 with the same number stays untouched
            expected.replace((recordNo - 1) * 116, 74,
                QByteArray(field("txtParameter_0", 15) + Fixture::workedShaftBytes().mid(15, 35)
                    + field("txtBearingA_0", 12) + field("txtBearingB_0", 12)));
        QCOMPARE(readFile(RecordFiles::gearPath()), expected);
        QCOMPARE(readFile(RecordFiles::bearingPath()).size(), catalogue * 48);
        QCOMPARE(readFile(RecordFiles::bearingPath()).left(96), bearingsBefore);
    }

    // A torn tail is kept in the backup beside its file before it is dropped, and the closing
    // message says so, once per file.
    void tornTailsKeptInBackups()
    {
        fiveRecords();
        const QByteArray gear = readFile(RecordFiles::gearPath());
        const QByteArray bearings = readFile(RecordFiles::bearingPath());
        QVERIFY(Fixture::writeFile(RecordFiles::gearPath(), gear + QByteArray(50, 'S')));
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(), bearings + "1234567890"));
        Fixture::FakeWindow window;
        window.apply(Fixture::strings(
            { "txtParameter_0=NEW-1", "txtBearingA_0=32310", "txtBearingB_0=32312" }));
        ScriptedPrompter prompter;
        CalcInput input;
        OptionFlags flags {};
        RecordCopies copies;
        QCOMPARE(SaveParameters(window, input, flags, copies, prompter).recordNo, 6);
        const QString dir
            = QDir::toNativeSeparators(RecordFiles::appDirectory()) + QDir::separator();
        QCOMPARE(prompter.texts(),
            QStringList { SavedNewBearing
                + QStringLiteral("\ngear.sav 末尾有 50 个字节不是完整记录，已删去；原文件已保存为 ")
                + dir + QStringLiteral("gear.bak")
                + QStringLiteral(
                    "\nbearing.sav 末尾有 10 个字节不是完整记录，已删去；原文件已保存为 ")
                + dir + QStringLiteral("bearing.bak") });
        QCOMPARE(readFile(RecordFiles::gearPath()).size(), 6 * 116);
        QCOMPARE(readFile(RecordFiles::bearingPath()).size(), 4 * 48);
        QCOMPARE(readFile(dir + QStringLiteral("gear.bak")), gear + QByteArray(50, 'S'));
        QCOMPARE(readFile(dir + QStringLiteral("bearing.bak")), bearings + "1234567890");
    }

    void shaftPlanOrder()
    {
        const BearingRecord a = bearing("30208", 1, 0.37f, 1.6f, 0, 63);
        // Gear 2 empty rather than 0; no txtWeight: self-weight is off, the stored 25 kg are not
        // shown; A's type after the options, so that its type rules win.
        const Plan expected = { text("txtParameter_0", "G-7"), text("txtParameter_1", "5"),
            text("txtParameter_2", "1450"), text("txtParameter_3", "260"),
            text("txtParameter_4", "180"), text("txtGear_0", "130"), text("txtGear_1", "96"),
            text("txtGear_2", "8"), text("txtGear_3", "20"), text("txtGear_4", ""),
            text("txtGear_5", ""), text("txtGear_6", ""), text("txtGear_7", ""),
            state(Assignment::Option, "optGear1_0", 1), state(Assignment::Option, "optGear1_1", 0),
            state(Assignment::Option, "optGear2_0", 0), state(Assignment::Option, "optGear2_1", 0),
            state(Assignment::Check, "chkWeight", 0), state(Assignment::Option, "optAssembleA", 1),
            state(Assignment::Option, "optAssembleB", 0), text("txtBearingA_0", "30208"),
            text("txtBearingB_0", "6208"), text("txtBearingA_1", "0.37"),
            text("txtBearingA_2", "1.6"), text("txtBearingA_3", "0"), text("txtBearingA_4", "63"),
            state(Assignment::Combo, "cboTypeA", 1),
            state(Assignment::CaretToEnd, "txtParameter_0", 0) };
        QCOMPARE(Recall::shaftPlan(oneGearShaft(), a, BearingRecord()), expected);
        QCOMPARE(Recall::powerText(5, 5.01f), QStringLiteral("5/5.01")); // 0.0100002 in floats
    }

    void selfWeightOnAndUnknownType()
    {
        ShaftRecord r = oneGearShaft();
        r.Flags = 78, r.WeightKg = -3;
        const Plan plan = Recall::shaftPlan(r, BearingRecord(), bearing("6208", 7, 0, 0, 0, 29.5f));
        const qsizetype check = plan.indexOf(state(Assignment::Check, "chkWeight", 1));
        QVERIFY(check > 0);
        QCOMPARE(plan.at(check + 3), text("txtWeight", "-3")); // after both mountings
        QVERIFY(plan.contains(text("txtBearingB_4", "29.5")));
        for (const Assignment &a : plan) // a type beyond the five list entries selects nothing
            QVERIFY(a.kind != Assignment::Combo);
    }

    // clang-format off
    void shaftLookup_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("typed in lower case") << QStringLiteral("g-7") << true;
        QTest::newRow("trailing blanks") << QStringLiteral("G-7   ") << true;
        QTest::newRow("P1 of 0.0005 counts as absent") << QStringLiteral("TINY") << false;
        QTest::newRow("not on file") << QStringLiteral("G-8") << false;
    }
    // clang-format on
    void shaftLookup()
    {
        QFETCH(QString, typed);
        QFETCH(bool, found);
        ShaftRecord tiny = oneGearShaft();
        tiny.ShaftNo = QStringLiteral("TINY");
        tiny.P1 = 0.0005f;
        QVERIFY(Fixture::writeFile(RecordFiles::gearPath(),
            RecordLayout::encodeShaft(tiny) + RecordLayout::encodeShaft(oneGearShaft())));
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            RecordLayout::encodeBearing(bearing("6208", 0, 0.24f, 2.8f, 4.2f, 29.5f))));
        Plan plan;
        QCOMPARE(Recall::PlanShaftRecall(typed, plan), found);
        QCOMPARE(plan.isEmpty(), !found);
        // B (6208) is in the catalogue, A (30208) is not: only B's factors and type follow.
        QCOMPARE(plan.contains(text("txtBearingB_3", "4.2")), found);
        QCOMPARE(plan.contains(state(Assignment::Combo, "cboTypeB", 0)), found);
        QVERIFY(!plan.contains(state(Assignment::Combo, "cboTypeA", 1)));
    }

    void bearingLookups()
    {
        QVERIFY(Fixture::writeFile(RecordFiles::bearingPath(),
            RecordLayout::encodeBearing(bearing("7208C", 4, 0, 0, 0, 36.8f))
                + RecordLayout::encodeBearing(bearing("7208C", 1, 1, 1, 1, 99))));
        Plan plan;
        QVERIFY(Recall::PlanBearingRecall(Recall::Side::B, QStringLiteral("7208c"), plan));
        QCOMPARE(plan,
            (Plan { text("txtBearingB_1", "0"), text("txtBearingB_2", "0"),
                text("txtBearingB_3", "0"), text("txtBearingB_4", "36.8"), // first of two
                state(Assignment::Combo, "cboTypeB", 4),
                state(Assignment::CaretToEnd, "txtBearingB_0", 0) }));
        QVERIFY(!Recall::PlanBearingRecall(Recall::Side::A, QStringLiteral("7209C"), plan));
        QVERIFY(plan.isEmpty());

        // B typed as A's model (case and trailing blanks aside): A's boxes as they stand, unsaved
        // edit and empty box included; no type, no caret, no file read.
        QFile::remove(RecordFiles::bearingPath());
        QVERIFY(Recall::PlanBearingBRecall(QStringLiteral("NU208"), QStringLiteral("nu208  "),
            { QStringLiteral("0.4"), QStringLiteral("1.5"), QString(), QStringLiteral("80") },
            plan));
        QCOMPARE(plan,
            (Plan { text("txtBearingB_1", "0.4"), text("txtBearingB_2", "1.5"),
                text("txtBearingB_3", ""), text("txtBearingB_4", "80") }));
        QVERIFY(!QFile::exists(RecordFiles::bearingPath()));
    }
};

QTEST_GUILESS_MAIN(TestSaveRecall)
#include "tst_saverecall.moc"
