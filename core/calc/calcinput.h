#pragma once

// The two records of one calculation: everything the user typed or chose (CalcInput) and every
// computed quantity (CalcResult). The main window owns one of each for its whole life.

#include <QString>

#include <array>
#include <cstdint>

// Bearing type codes: list position in the type combo boxes and type byte of a bearing record.
enum TypeCode : std::int16_t {
    SphericalRoller = 0, // 调心滚子轴承
    SingleRowTapered = 1, // 单列圆锥轴承
    PairedTapered = 2, // 配对圆锥轴承
    CylindricalRoller = 3, // 圆柱滚子轴承
    AngularContactBall = 4, // 角接触球轴承
};

// The list texts of the five type codes, in code order.
inline QString typeCodeText(int code)
{
    switch (code) {
    case 0:
        return QStringLiteral("调心滚子轴承");
    case 1:
        return QStringLiteral("单列圆锥轴承");
    case 2:
        return QStringLiteral("配对圆锥轴承");
    case 3:
        return QStringLiteral("圆柱滚子轴承");
    case 4:
        return QStringLiteral("角接触球轴承");
    default:
        return QString();
    }
}

// Which catalogue factors a type's equivalent-load formula uses; the others stay empty in the
// window and zero in a bearing record.
struct TypeFactors
{
    bool e, y1, y2;
};
constexpr TypeFactors factorsUsed(int code)
{
    return { code >= SphericalRoller && code <= PairedTapered,
        code >= SphericalRoller && code <= PairedTapered, code == SphericalRoller };
}

struct CalcInput
{
    QString ShaftNo; // 15 characters, blank-padded
    float P1 = 0, P2 = 0; // kW
    float n = 0; // rpm
    std::int16_t L = 0; // mm, bearing A to bearing B
    std::int16_t ALFA = 0; // degrees between the gears
    std::int16_t L1 = 0, d1 = 0, BTA1 = 0, ALFA1 = 0, Fa1Dir = 0;
    std::int16_t L2 = 0, d2 = 0, BTA2 = 0, ALFA2 = 0, Fa2Dir = 0;
    QString ModelA; // 12 characters, blank-padded
    std::int16_t TypeA = 0;
    float eA = 0, Y1A = 0, Y2A = 0, CrA = 0;
    QString ModelB;
    std::int16_t TypeB = 0;
    float eB = 0, Y1B = 0, Y2B = 0, CrB = 0;
    float G = 0; // N, 0 or negative (toward bearing A)
    std::int16_t WeightOn = 0;
    std::int16_t WeightKg = 0; // the weight box, kept in the shaft record even when not ticked
    bool AssembleA = false; // face-to-face (types 1, 4 of A) or bearing A floating
    bool AssembleB = false; // back-to-back or bearing B floating
};

struct CalcResult
{
    float T1 = 0, T2 = 0;
    float Ft1 = 0, Fr1 = 0, Fa1 = 0, Ft2 = 0, Fr2 = 0, Fa2 = 0;
    float Ft2y = 0, Ft2z = 0, Fr2y = 0, Fr2z = 0;
    float RxzA = 0, RxzB = 0, RxyA = 0, RxyB = 0;
    float r2y = 0, r2z = 0;
    float RA = 0, RB = 0;
    float FA = 0, FB = 0;
    float Sa = 0, Sb = 0;
    float PA = 0, PB = 0;
    float LhA = 0, LhB = 0;
};

// Eight one-byte option flags, indices 0 to 7 (packed into ShaftRecord::Flags by BitsToByte).
using OptionFlags = std::array<std::uint8_t, 8>;
