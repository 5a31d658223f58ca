#pragma once

#include "calc/gatherinputs.h"
#include "records/recordfile.h"
#include "support/scriptedprompter.h"

#include <QtCore>

namespace Fixture {

using namespace Qt::StringLiterals;

// Two helical gears, two bearings 30216 face to face (CalcInput's order); ModelB left unpadded.
inline CalcInput workedInput()
{
    return { u"G-101          "_s, 30, 20, 1000, 300, 180, 80, 200, 10, 20, 1, 90, 120, 12, 20, 0,
        u"30216       "_s, SingleRowTapered, 0.37f, 1.6f, 0, 150, u"30216"_s, SingleRowTapered,
        0.37f, 1.6f, 0, 150, 0, 0, 0, true, false };
}

// The published results of the worked example (two decimals; the lives to the hour), its window.
// clang-format off
struct Published { const char *name; float CalcResult::*field; double value; };
#define PR(f, v) Published { #f, &CalcResult::f, v }
inline const Published PublishedResults[] = { PR(T1, 286.50), PR(T2, 191.00), PR(Ft1, 2865.00), PR(Fr1, 1058.86), PR(Fa1, -505.18), PR(Ft2, 3183.33), PR(Fr2, 1184.52),
    PR(Fa2, 676.64), PR(Ft2y, 3183.33), PR(Ft2z, 0), PR(Fr2y, 0), PR(Fr2z, -1184.52), PR(r2y, 0), PR(r2z, -60.00),
    PR(RxzB, 850.52), PR(RxzA, -724.86), PR(RxyB, -2992.33), PR(RxyA, -3056.00), PR(RA, 3140.79), PR(RB, 3110.86), PR(Sa, 981.50),
    PR(Sb, -972.14), PR(FA, 981.50), PR(FB, 1152.96), PR(PA, 3140.79), PR(PB, 3089.08), PR(LhA, 6587051), PR(LhB, 6961850) };
#undef PR
inline const QStringList FieldNames = u"txtParameter_%1 txtGear_%1 txtBearingA_%1 txtBearingB_%1 txtWeight optGear1_%1 optGear2_%1 optAssemble%1 chkWeight cboTypeA cboTypeB"_s.split(u' ');
inline const QString WorkedWindow = u"txtParameter_0=G-101 txtParameter_1=30/20 txtParameter_2=1000 txtParameter_3=300 txtParameter_4=180 "
    "txtGear_0=80 txtGear_1=200 txtGear_2=10 txtGear_3=20 txtGear_4=90 txtGear_5=120 txtGear_6=12 txtGear_7=20 "
    "txtBearingA_0=30216 txtBearingA_1=0.37 txtBearingA_2=1.6 txtBearingA_4=150 txtBearingB_0=30216 txtBearingB_1=0.37 txtBearingB_2=1.6 txtBearingB_4=150 "
    "cboTypeA=1 cboTypeB=1 +optGear1_0 +optGear2_1 +optAssembleA"_s;
// clang-format on

inline CalcResult workedResult()
{
    CalcResult r;
    for (const Published &p : PublishedResults)
        r.*p.field = static_cast<float>(p.value);
    return r;
}

inline QString controlName(MainField f)
{
    const bool side = f.group == MainField::Assemble; // A or B
    return QString(FieldNames[f.group])
        .replace(u"%1"_s, side ? QString(QChar(u'A' + f.index)) : QString::number(f.index));
}

// The main window by control name: "box=text" (also chkWeight, cboTypeA/B), "+option", "-option".
struct FakeWindow
{
    QHash<QString, QString> texts;

    FakeWindow() { apply(WorkedWindow.split(u' ')); }
    void apply(const QStringList &changes) // an option holds "+" or "-"
    {
        for (const QString &c : changes)
            texts[c.section(u'=', 0, 0).remove(QRegularExpression(u"^[+-]"_s))]
                = c.contains(u'=') ? c.section(u'=', 1) : c.left(1);
    }
    operator MainInputs() const
    {
        using enum MainField::Group;
        const auto t = [this](auto g, int i = 0) { return texts.value(controlName({ g, i })); };
        const auto on = [&](auto g, int i = 0) { return t(g, i) == u"+"; };
        MainInputs in { {}, {}, {}, {}, t(Weight), { on(Gear1Direction), on(Gear1Direction, 1) },
            { on(Gear2Direction), on(Gear2Direction, 1) }, on(Assemble), on(Assemble, 1),
            t(WeightOn).toInt() != 0, t(TypeA).toInt(), t(TypeB).toInt() };
        for (auto [g, boxes] :
            { std::pair(Parameter, in.parameter.data()), { Gear, in.gear.data() },
                { BearingA, in.bearingA.data() }, { BearingB, in.bearingB.data() } })
            for (int i = 0; i < (g == Gear ? 8 : 5); ++i)
                boxes[i] = t(g, i);
        return in;
    }
};

template <class T, class... V> QByteArray le(V... values)
{
    QByteArray b(sizeof(T) * sizeof...(V), Qt::Uninitialized);
    qToLittleEndian<T>(std::array { T(values)... }.data(), sizeof...(V), b.data());
    return b;
}

// A bearing.sav slot, little-endian: model 12 bytes, type, d, D, B, e, Y1, Y2, Cr, 13 unused.
inline QByteArray bearingSlot(const QByteArray &model, int type = 0, float e = 0.3f,
    float Y1 = 2.2f, float Y2 = 3.3f, float Cr = 150, int d = 25, int D = 52, int B = 15,
    char unused = ' ')
{
    return model.leftJustified(12, ' ', true) + char(type) + le<qint16>(d, D, B)
        + le<float>(e, Y1, Y2, Cr) + QByteArray(13, unused);
}

// The 74 data bytes of the worked example's gear.sav slot: gear 1 left, gear 2 right, A mounted.
inline QByteArray workedShaftBytes()
{
    return QByteArray("G-101").leftJustified(15, ' ') + le<float>(30, 20, 1000)
        + le<qint16>(300, 180, 80, 200, 10, 20, 90, 120, 12, 20) + char(64 + 8 + 2) + le<qint16>(0)
        + "30216       30216       ";
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QStringList strings(std::initializer_list<const char *> items)
{
    QStringList out(items.size());
    std::ranges::transform(items, out.begin(), [](auto s) { return QString::fromUtf8(s); });
    return out;
}

struct AppDirectory : QTemporaryDir
{
    AppDirectory() { RecordFiles::setAppDirectory(path()); }
};

inline bool isFailureBox(const ScriptedPrompter::Shown &s)
{
    return s.title == u"Tolvenar" && s.buttons == Prompter::Ok
        && s.icon == Prompter::Icon::Information;
}

} // namespace Fixture
