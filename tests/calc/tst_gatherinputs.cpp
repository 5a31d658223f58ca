// Gathering the window's inputs and the five validation checks.

#include "calc/gatherinputs.h"
#include "fakeinputsource.h"
#include "support/scriptedprompter.h"

#include <QTest>

class TestGatherInputs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void powerForms_data();
    void powerForms();
    void helixThroughFloat_data();
    void helixThroughFloat();
    void overflowStopsAtField();
    void weight();
    void bearingCopiesByType_data();
    void bearingCopiesByType();
    void flagsPacked();
    void noDirectionIsMinusOne();
    void validation_data();
    void validation();
};

void TestGatherInputs::powerForms_data()
{
    QTest::addColumn<QString>("power");
    QTest::addColumn<float>("P1");
    QTest::addColumn<float>("P2");
    QTest::addColumn<QString>("message"); // of the validation, empty when it passes
    const QString zero = QStringLiteral("P, n, L, L1, d1, Cr等不能为零  ");
    QTest::newRow("20") << QStringLiteral("20") << 20.0f << 20.0f << QString();
    QTest::newRow("20/") << QStringLiteral("20/") << 20.0f << 0.0f << QString();
    QTest::newRow("/20") << QStringLiteral("/20") << 0.0f << 20.0f << zero;
    QTest::newRow("20/0") << QStringLiteral("20/0") << 20.0f << 0.0f << QString();
    QTest::newRow("30/12.5") << QStringLiteral("30/12.5") << 30.0f << 12.5f << QString();
    QTest::newRow("12.5kW") << QStringLiteral("12.5kW") << 12.5f << 12.5f << QString();
    QTest::newRow("negative power") << QStringLiteral("-20") << -20.0f << -20.0f << zero;
}

void TestGatherInputs::powerForms()
{
    QFETCH(QString, power);
    QFETCH(float, P1);
    QFETCH(float, P2);
    QFETCH(QString, message);
    FakeInputSource src = FakeInputSource::workedExample();
    src.texts[QStringLiteral("txtParameter_1")] = power;
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(in.P1, P1);
    QCOMPARE(in.P2, P2);
    QCOMPARE(copies.shaft.P1, P1);
    QCOMPARE(copies.shaft.P2, P2);
    ScriptedPrompter prompter;
    QCOMPARE(ValidateInputs(src, in, prompter), message.isEmpty());
    QCOMPARE(prompter.texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

void TestGatherInputs::helixThroughFloat_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("used");
    QTest::newRow("8.5 -> 8") << QStringLiteral("8.5") << 8;
    QTest::newRow("9.5 -> 10") << QStringLiteral("9.5") << 10;
    QTest::newRow("10.49 -> 10") << QStringLiteral("10.49") << 10;
}

void TestGatherInputs::helixThroughFloat()
{
    QFETCH(QString, typed);
    QFETCH(int, used);
    FakeInputSource src = FakeInputSource::workedExample();
    src.texts[QStringLiteral("txtGear_2")] = typed;
    src.texts[QStringLiteral("txtGear_6")] = typed;
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(int(in.BTA1), used);
    QCOMPARE(int(in.BTA2), used);
    QCOMPARE(int(copies.shaft.GearParams[2]), used);
    QCOMPARE(int(copies.shaft.GearParams[6]), used);
}

void TestGatherInputs::overflowStopsAtField()
{
    FakeInputSource src = FakeInputSource::workedExample();
    src.texts[QStringLiteral("txtParameter_3")] = QStringLiteral("40000");
    CalcInput in;
    in.L = 11;
    in.ALFA = 22;
    in.L1 = 33;
    in.ModelA = QStringLiteral("OLD");
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::Overflow);
    // Fields before the span hold the new values...
    QCOMPARE(in.ShaftNo, QStringLiteral("WX-1           "));
    QCOMPARE(in.P1, 30.0f);
    QCOMPARE(in.P2, 20.0f);
    QCOMPARE(in.n, 1000.0f);
    QCOMPARE(copies.shaft.n, 1000.0f);
    // ...the span and everything after it keep theirs.
    QCOMPARE(int(in.L), 11);
    QCOMPARE(int(in.ALFA), 22);
    QCOMPARE(int(in.L1), 33);
    QCOMPARE(in.ModelA, QStringLiteral("OLD"));
}

void TestGatherInputs::weight()
{
    FakeInputSource src = FakeInputSource::workedExample();
    src.texts[QStringLiteral("txtWeight")] = QStringLiteral("12.5");
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(in.G, 0.0f); // not ticked
    QCOMPARE(int(copies.shaft.WeightKg), 12); // stored all the same
    QCOMPARE(int(flags[5]), 0);

    src.weightChecked = 1;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(in.G, -117.6f);
    QCOMPARE(int(in.WeightOn), 1);
    QCOMPARE(int(flags[5]), 1);

    src.texts[QStringLiteral("txtWeight")] = QStringLiteral("-20");
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(in.G, -196.0f); // always toward bearing A

    src.weightChecked = 0;
    src.texts[QStringLiteral("txtWeight")] = QStringLiteral("99999");
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::Overflow); // read even when off
}

void TestGatherInputs::bearingCopiesByType_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<float>("e");
    QTest::addColumn<float>("Y1");
    QTest::addColumn<float>("Y2");
    // Typed: e 0.375, Y1 1.625, Y2 2.125, Cr 150.125 (ties on exact halves go to even).
    QTest::newRow("spherical keeps all") << 0 << 0.38f << 1.62f << 2.12f;
    QTest::newRow("tapered drops Y2") << 1 << 0.38f << 1.62f << 0.0f;
    QTest::newRow("paired drops Y2") << 2 << 0.38f << 1.62f << 0.0f;
    QTest::newRow("cylindrical none") << 3 << 0.0f << 0.0f << 0.0f;
    QTest::newRow("angular none") << 4 << 0.0f << 0.0f << 0.0f;
}

void TestGatherInputs::bearingCopiesByType()
{
    QFETCH(int, type);
    QFETCH(float, e);
    QFETCH(float, Y1);
    QFETCH(float, Y2);
    FakeInputSource src = FakeInputSource::workedExample();
    src.typeA = type;
    src.texts[QStringLiteral("txtBearingA_0")] = QStringLiteral("22312");
    src.texts[QStringLiteral("txtBearingA_1")] = QStringLiteral("0.375");
    src.texts[QStringLiteral("txtBearingA_2")] = QStringLiteral("1.625");
    src.texts[QStringLiteral("txtBearingA_3")] = QStringLiteral("2.125");
    src.texts[QStringLiteral("txtBearingA_4")] = QStringLiteral("150.125");
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    copies.bearingA.d = 60; // the copy's dimensions are not touched
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(int(copies.bearingA.Type), type);
    QCOMPARE(copies.bearingA.e, e);
    QCOMPARE(copies.bearingA.Y1, Y1);
    QCOMPARE(copies.bearingA.Y2, Y2);
    QCOMPARE(copies.bearingA.Cr, 150.12f);
    QCOMPARE(int(copies.bearingA.d), 60);
    QCOMPARE(copies.bearingA.Model, QStringLiteral("22312       "));
    QCOMPARE(copies.shaft.ModelA, QStringLiteral("22312       "));
    // The calculation keeps the typed values whatever the type.
    QCOMPARE(in.eA, 0.375f);
    QCOMPARE(in.Y2A, 2.125f);
}

void TestGatherInputs::flagsPacked()
{
    FakeInputSource src = FakeInputSource::workedExample(); // gear 1 left, gear 2 right, A option
    src.weightChecked = 1;
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(int(copies.shaft.Flags), 64 + 8 + 4 + 2);
    QCOMPARE(int(flags[0]), 0);
    QCOMPARE(int(in.Fa1Dir), 1);
    QCOMPARE(int(in.Fa2Dir), 0);
    QVERIFY(in.AssembleA);
    QVERIFY(!in.AssembleB);
}

void TestGatherInputs::noDirectionIsMinusOne()
{
    FakeInputSource src = FakeInputSource::workedExample();
    src.selected = {QStringLiteral("optGear1_1"), QStringLiteral("optAssembleB")};
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    QCOMPARE(int(in.Fa1Dir), 0);
    QCOMPARE(int(in.Fa2Dir), -1);
    QCOMPARE(int(copies.shaft.Flags), 32 + 1);
}

void TestGatherInputs::validation_data()
{
    QTest::addColumn<QStringList>("changes"); // box=text pairs, or "-option" to unselect one
    QTest::addColumn<QString>("message");
    const QString noNumber = QStringLiteral("编号不能为空字符串  ");
    const QString zero = QStringLiteral("P, n, L, L1, d1, Cr等不能为零  ");
    const QString direction = QStringLiteral("选择轴向力方向   ");
    const QString noModel = QStringLiteral("轴承型号不能为空字符串  ");
    QTest::newRow("all good") << QStringList() << QString();
    QTest::newRow("empty number first") << QStringList{QStringLiteral("txtParameter_0="),
                                                       QStringLiteral("txtParameter_2=0"),
                                                       QStringLiteral("txtBearingA_0=")}
                                        << noNumber;
    QTest::newRow("blank number passes") << QStringList{QStringLiteral("txtParameter_0= ")}
                                         << QString();
    QTest::newRow("speed 0") << QStringList{QStringLiteral("txtParameter_2=0")} << zero;
    QTest::newRow("negative speed passes") << QStringList{QStringLiteral("txtParameter_2=-1000")}
                                           << QString();
    QTest::newRow("Cr B empty") << QStringList{QStringLiteral("txtBearingB_4=")} << zero;
    QTest::newRow("L1 0") << QStringList{QStringLiteral("txtGear_0=0")} << zero;
    QTest::newRow("tiny product") << QStringList{QStringLiteral("txtParameter_1=1e-25")} << zero;
    QTest::newRow("huge product passes")
            << QStringList{QStringLiteral("txtParameter_1=1e30"), QStringLiteral("txtParameter_2=1e30")}
            << QString();
    QTest::newRow("gear 1 direction") << QStringList{QStringLiteral("-optGear1_0")} << direction;
    QTest::newRow("gear 1 straight") << QStringList{QStringLiteral("-optGear1_0"),
                                                    QStringLiteral("txtGear_2=0")}
                                     << QString();
    QTest::newRow("gear 2 direction") << QStringList{QStringLiteral("-optGear2_1")} << direction;
    QTest::newRow("gear 2 absent") << QStringList{QStringLiteral("-optGear2_1"),
                                                  QStringLiteral("txtGear_4=0")}
                                   << QString();
    QTest::newRow("large gear 2 product") << QStringList{QStringLiteral("-optGear2_1"),
                                                         QStringLiteral("txtGear_4=300"),
                                                         QStringLiteral("txtGear_5=400")}
                                          << direction;
    QTest::newRow("model A empty") << QStringList{QStringLiteral("txtBearingA_0=")} << noModel;
    QTest::newRow("model B empty") << QStringList{QStringLiteral("txtBearingB_0=")} << noModel;
    QTest::newRow("direction before model")
            << QStringList{QStringLiteral("-optGear1_0"), QStringLiteral("txtBearingB_0=")}
            << direction;
}

void TestGatherInputs::validation()
{
    QFETCH(QStringList, changes);
    QFETCH(QString, message);
    FakeInputSource src = FakeInputSource::workedExample();
    for (const QString &c : changes) {
        if (c.startsWith(u'-')) {
            src.selected.remove(c.mid(1));
        } else {
            const qsizetype eq = c.indexOf(u'=');
            src.texts[c.left(eq)] = c.mid(eq + 1);
        }
    }
    CalcInput in;
    OptionFlags flags{};
    RecordCopies copies;
    QCOMPARE(GatherInputs(src, in, flags, copies), Fault::None);
    ScriptedPrompter prompter;
    QCOMPARE(ValidateInputs(src, in, prompter), message.isEmpty());
    if (message.isEmpty()) {
        QVERIFY(prompter.shown.isEmpty());
    } else {
        QCOMPARE(prompter.shown.size(), 1);
        QCOMPARE(prompter.shown[0].text, message);
        QCOMPARE(prompter.shown[0].title, QStringLiteral("Tolvenar"));
        QCOMPARE(prompter.shown[0].icon, Prompter::Icon::Information);
        QCOMPARE(prompter.shown[0].buttons, int(Prompter::Ok));
    }
}

QTEST_GUILESS_MAIN(TestGatherInputs)
#include "tst_gatherinputs.moc"
