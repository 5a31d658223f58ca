#pragma once

// Shared fixtures: the worked example (inputs, published results, window texts), record slots
// packed by hand from the file layout, file helpers and the failure-box check.

#include "calc/gatherinputs.h"
#include "records/recordfile.h"
#include "support/scriptedprompter.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QtEndian>

#include <bit>

namespace Fixture {

// Two helical gears, two single-row tapered roller bearings 30216 mounted face to face. ModelB is
// left unpadded on purpose: the report writers must pad it themselves.
inline CalcInput workedInput()
{
    CalcInput in;
    in.ShaftNo = QStringLiteral("G-101          ");
    in.P1 = 30, in.P2 = 20, in.n = 1000, in.L = 300, in.ALFA = 180;
    in.L1 = 80, in.d1 = 200, in.BTA1 = 10, in.ALFA1 = 20, in.Fa1Dir = 1;
    in.L2 = 90, in.d2 = 120, in.BTA2 = 12, in.ALFA2 = 20, in.Fa2Dir = 0;
    in.ModelA = QStringLiteral("30216       ");
    in.ModelB = QStringLiteral("30216");
    in.TypeA = in.TypeB = SingleRowTapered;
    in.eA = in.eB = 0.37f, in.Y1A = in.Y1B = 1.6f, in.CrA = in.CrB = 150;
    in.AssembleA = true;
    return in;
}

struct Published
{
    const char *name;
    float CalcResult::*field;
    double value;
};

// The published results of the worked example (two decimals; the lives to the hour).
// clang-format off
inline const Published PublishedResults[] = {
    { "T1", &CalcResult::T1, 286.50 }, { "T2", &CalcResult::T2, 191.00 }, { "Ft1", &CalcResult::Ft1, 2865.00 },
    { "Fr1", &CalcResult::Fr1, 1058.86 }, { "Fa1", &CalcResult::Fa1, -505.18 }, { "Ft2", &CalcResult::Ft2, 3183.33 },
    { "Fr2", &CalcResult::Fr2, 1184.52 }, { "Fa2", &CalcResult::Fa2, 676.64 }, { "Ft2y", &CalcResult::Ft2y, 3183.33 },
    { "Ft2z", &CalcResult::Ft2z, 0 }, { "Fr2y", &CalcResult::Fr2y, 0 }, { "Fr2z", &CalcResult::Fr2z, -1184.52 },
    { "r2y", &CalcResult::r2y, 0 }, { "r2z", &CalcResult::r2z, -60.00 }, { "RxzB", &CalcResult::RxzB, 850.52 },
    { "RxzA", &CalcResult::RxzA, -724.86 }, { "RxyB", &CalcResult::RxyB, -2992.33 }, { "RxyA", &CalcResult::RxyA, -3056.00 },
    { "RA", &CalcResult::RA, 3140.79 }, { "RB", &CalcResult::RB, 3110.86 }, { "Sa", &CalcResult::Sa, 981.50 },
    { "Sb", &CalcResult::Sb, -972.14 }, { "FA", &CalcResult::FA, 981.50 }, { "FB", &CalcResult::FB, 1152.96 },
    { "PA", &CalcResult::PA, 3140.79 }, { "PB", &CalcResult::PB, 3089.08 }, { "LhA", &CalcResult::LhA, 6587051 },
    { "LhB", &CalcResult::LhB, 6961850 } };
// clang-format on

inline CalcResult workedResult()
{
    CalcResult r;
    for (const Published &p : PublishedResults)
        r.*p.field = static_cast<float>(p.value);
    return r;
}

// The main window's texts and choices by control name, filled with the worked example.
class FakeWindow
{
public:
    QHash<QString, QString> texts;
    QSet<QString> selected { QStringLiteral("optGear1_0"), QStringLiteral("optGear2_1"),
        QStringLiteral("optAssembleA") };
    int weightChecked = 0, typeA = 1, typeB = 1;

    FakeWindow()
    {
        apply(
            QStringLiteral("txtParameter_0=G-101 txtParameter_1=30/20 txtParameter_2=1000 "
                           "txtParameter_3=300 txtParameter_4=180 txtGear_0=80 txtGear_1=200 "
                           "txtGear_2=10 txtGear_3=20 txtGear_4=90 txtGear_5=120 txtGear_6=12 "
                           "txtGear_7=20 txtBearingA_0=30216 txtBearingA_1=0.37 txtBearingA_2=1.6 "
                           "txtBearingA_4=150 txtBearingB_0=30216 txtBearingB_1=0.37 "
                           "txtBearingB_2=1.6 txtBearingB_4=150")
                .split(u' '));
    }
    // "box=text" sets a box, "-option" clears an option and "+option" selects one;
    // "chkWeight=1", "cboTypeA=2" and "cboTypeB=3" set the check box and the type lists.
    void apply(const QStringList &changes)
    {
        for (const QString &c : changes) {
            const QString name = c.section(u'=', 0, 0), value = c.section(u'=', 1);
            if (c.startsWith(u'-'))
                selected.remove(c.mid(1));
            else if (c.startsWith(u'+'))
                selected.insert(c.mid(1));
            else if (name == u"chkWeight")
                weightChecked = value.toInt();
            else if (name == u"cboTypeA")
                typeA = value.toInt();
            else if (name == u"cboTypeB")
                typeB = value.toInt();
            else
                texts[name] = value;
        }
    }
    operator MainInputs() const
    {
        MainInputs in;
        auto fill = [this](const char *prefix, auto &out) {
            for (std::size_t i = 0; i < out.size(); ++i)
                out[i] = texts.value(QString::fromLatin1(prefix) + QString::number(i));
        };
        fill("txtParameter_", in.parameter);
        fill("txtGear_", in.gear);
        fill("txtBearingA_", in.bearingA);
        fill("txtBearingB_", in.bearingB);
        in.weight = texts.value(QStringLiteral("txtWeight"));
        auto on = [this](const char *option) { return selected.contains(QLatin1String(option)); };
        in.gear1Direction = { on("optGear1_0"), on("optGear1_1") };
        in.gear2Direction = { on("optGear2_0"), on("optGear2_1") };
        in.assembleA = on("optAssembleA");
        in.assembleB = on("optAssembleB");
        in.weightOn = weightChecked != 0;
        in.typeA = typeA, in.typeB = typeB;
        return in;
    }
};

// The object name of the control that shows a field of the main window.
inline QString controlName(MainField f)
{
    static const char *const names[]
        = { "txtParameter_", "txtGear_", "txtBearingA_", "txtBearingB_", "txtWeight", "optGear1_",
              "optGear2_", "optAssemble", "chkWeight", "cboTypeA", "cboTypeB" };
    const QString name = QString::fromLatin1(names[f.group]);
    if (f.group == MainField::Assemble)
        return name + (f.index == 0 ? u'A' : u'B');
    return name.endsWith(u'_') ? name + QString::number(f.index) : name;
}

// The record files' byte order: little-endian, floats by their bits.
inline QByteArray le16(int v)
{
    const qint16 x = qToLittleEndian(qint16(v));
    return QByteArray(reinterpret_cast<const char *>(&x), 2);
}
inline QByteArray le32(float v)
{
    const quint32 x = qToLittleEndian(std::bit_cast<quint32>(v));
    return QByteArray(reinterpret_cast<const char *>(&x), 4);
}

// A bearing.sav slot: model 12 bytes, type, d, D, B, e, Y1, Y2, Cr, 13 unused bytes.
inline QByteArray bearingSlot(const QByteArray &model, int type = 0, float e = 0.3f,
    float Y1 = 2.2f, float Y2 = 3.3f, float Cr = 150, int d = 25, int D = 52, int B = 15,
    char unused = ' ')
{
    return model.leftJustified(12, ' ', true) + char(type) + le16(d) + le16(D) + le16(B) + le32(e)
        + le32(Y1) + le32(Y2) + le32(Cr) + QByteArray(13, unused);
}

// The 74 data bytes of the worked example's gear.sav slot.
inline QByteArray workedShaftBytes()
{
    QByteArray b = QByteArray("G-101").leftJustified(15, ' ');
    b += le32(30) + le32(20) + le32(1000) + le16(300) + le16(180);
    for (int v : { 80, 200, 10, 20, 90, 120, 12, 20 })
        b += le16(v);
    b += char(64 + 8 + 2); // gear 1 left, gear 2 right, optAssembleA
    return b + le16(0) + "30216       30216       ";
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
    QStringList out;
    for (const char *item : items)
        out << QString::fromUtf8(item);
    return out;
}

// A fresh temporary folder that holds the record files for the test's length.
struct AppDirectory : QTemporaryDir
{
    AppDirectory() { RecordFiles::setAppDirectory(path()); }
};

// The program's failure box: title "Tolvenar", OK button, information icon.
inline bool isFailureBox(const ScriptedPrompter::Shown &s)
{
    return s.title == QStringLiteral("Tolvenar") && s.buttons == Prompter::Ok
        && s.icon == Prompter::Icon::Information;
}

} // namespace Fixture
