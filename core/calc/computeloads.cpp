#include "calc/computeloads.h"

#include <cmath>

namespace {

constexpr double Pi = 3.14159265; // the program's value of pi, kept for identical results

double radians(double degrees)
{
    return degrees * Pi / 180.0;
}

// Stores a quantity as a 32-bit float; a value beyond the float range or an invalid 0/0 (NaN) is
// the overflow fault and leaves the target as it was.
Fault store(double value, float &target)
{
    return Conv::toSingle(value, target);
}

// A division that reports its faults instead of producing infinities: x/0 is a division by zero,
// 0/0 the invalid operation reported as an overflow.
Fault divide(double numerator, double denominator, double &out)
{
    if (denominator == 0.0)
        return numerator == 0.0 || std::isnan(numerator) ? Fault::Overflow : Fault::DivisionByZero;
    out = numerator / denominator;
    return Fault::None;
}

// Magnitudes below 0.001 are rounding residue of sin/cos and become exactly 0.
void cleanResidue(float &value)
{
    if (std::fabs(static_cast<double>(value)) < 0.001)
        value = 0;
}

// (-1)^code: left (1) and "no direction" (-1) give -1, right (0) gives +1.
double directionSign(std::int16_t code)
{
    return code % 2 == 0 ? 1.0 : -1.0;
}

// Equivalent dynamic load of one bearing from its radial and axial load and its factors.
Fault equivalentLoad(
    std::int16_t type, float radial, float axial, float e, float y1, float y2, float &load)
{
    constexpr float threshold = 0.00001f;
    double ratio = 0;
    switch (type) {
    case SphericalRoller: {
        RETURN_IF_FAULT(divide(axial, radial, ratio));
        float q = 0;
        RETURN_IF_FAULT(store(ratio - e, q));
        return store(q >= threshold ? 0.67 * radial + static_cast<double>(y2) * axial
                                    : radial + static_cast<double>(y1) * axial,
            load);
    }
    case SingleRowTapered: {
        RETURN_IF_FAULT(divide(axial, radial, ratio));
        float q = 0;
        RETURN_IF_FAULT(store(ratio - e, q));
        return store(q >= threshold ? 0.4 * radial + static_cast<double>(y1) * axial
                                    : static_cast<double>(radial),
            load);
    }
    case PairedTapered: {
        RETURN_IF_FAULT(divide(axial, radial, ratio));
        float q = 0;
        RETURN_IF_FAULT(store(ratio - e, q));
        return store(
            q > threshold ? 0.67 * radial + 1.675 * y1 * axial : radial + 1.125 * y1 * axial, load);
    }
    case CylindricalRoller:
        return store(radial, load);
    case AngularContactBall:
        RETURN_IF_FAULT(divide(axial, radial, ratio));
        return store(
            ratio - 1.14 > 0.00001 ? 0.35 * radial + 0.57 * axial : static_cast<double>(radial),
            load);
    default:
        return Fault::None; // unknown type: nothing is assigned
    }
}

// Rating life in hours. A negative base under the fractional exponent is an invalid argument:
// that life keeps its previous value and the calculation goes on.
Fault ratingLife(std::int16_t type, float rating, float load, float speed, float &life)
{
    double base = 0;
    double exponent = 3.33333333;
    switch (type) {
    case SphericalRoller:
    case SingleRowTapered:
    case CylindricalRoller:
        RETURN_IF_FAULT(divide(rating, load / 1000.0, base));
        break;
    case PairedTapered:
        RETURN_IF_FAULT(divide(1.71 * rating, load / 1000.0, base));
        break;
    case AngularContactBall:
        RETURN_IF_FAULT(divide(rating, load / 1000.0, base));
        exponent = 3;
        break;
    default:
        return Fault::None;
    }
    if (base < 0 && exponent != std::floor(exponent))
        return Fault::InvalidArgument;
    double hours = 0;
    RETURN_IF_FAULT(divide(std::pow(base, exponent) * 16666.7, speed, hours));
    return store(hours, life);
}

Fault computeForces(const CalcInput &in, CalcResult &r)
{
    // 1. Torques, N·m.
    double v = 0;
    RETURN_IF_FAULT(divide(9550.0 * in.P1, in.n, v));
    RETURN_IF_FAULT(store(v, r.T1));
    RETURN_IF_FAULT(divide(9550.0 * in.P2, in.n, v));
    RETURN_IF_FAULT(store(v, r.T2));

    // 2. Gear 1: tangential, radial and axial force.
    RETURN_IF_FAULT(divide(2000.0 * r.T1, in.d1, v));
    RETURN_IF_FAULT(store(v, r.Ft1));
    RETURN_IF_FAULT(divide(r.Ft1 * std::tan(radians(in.ALFA1)), std::cos(radians(in.BTA1)), v));
    RETURN_IF_FAULT(store(v, r.Fr1));
    RETURN_IF_FAULT(store(directionSign(in.Fa1Dir) * r.Ft1 * std::tan(radians(in.BTA1)), r.Fa1));

    // 3. Gear 2, when it has a position and a diameter.
    if (static_cast<double>(in.L2) * in.d2 > 0.001) {
        RETURN_IF_FAULT(divide(2000.0 * r.T2, in.d2, v));
        RETURN_IF_FAULT(store(v, r.Ft2));
        RETURN_IF_FAULT(divide(r.Ft2 * std::tan(radians(in.ALFA2)), std::cos(radians(in.BTA2)), v));
        RETURN_IF_FAULT(store(v, r.Fr2));
        RETURN_IF_FAULT(
            store(directionSign(in.Fa2Dir) * r.Ft2 * std::tan(radians(in.BTA2)), r.Fa2));
    } else {
        r.Ft2 = 0;
        r.Fr2 = 0;
        r.Fa2 = 0;
    }

    // 4.-5. Gear 2's forces on gear 1's axes (gear 2 sits at the angle a around the shaft).
    const double a = radians(in.ALFA);
    RETURN_IF_FAULT(store(-static_cast<double>(r.Ft2) * std::cos(a), r.Ft2y));
    RETURN_IF_FAULT(store(-static_cast<double>(r.Ft2) * std::sin(a), r.Ft2z));
    RETURN_IF_FAULT(store(-static_cast<double>(r.Fr2) * std::sin(a), r.Fr2y));
    RETURN_IF_FAULT(store(static_cast<double>(r.Fr2) * std::cos(a), r.Fr2z));
    cleanResidue(r.Ft2y);
    cleanResidue(r.Ft2z);
    cleanResidue(r.Fr2y);
    cleanResidue(r.Fr2z);

    // 6. Lever arms of gear 2's axial force, mm.
    RETURN_IF_FAULT(store(in.d2 * -0.5 * std::sin(a), r.r2y));
    cleanResidue(r.r2y);
    RETURN_IF_FAULT(store(in.d2 * 0.5 * std::cos(a), r.r2z));
    cleanResidue(r.r2z);

    // The position of gear 2 seen from bearing A, a 16-bit difference.
    const int gear2At = in.L - in.L2;
    if (gear2At < -32768 || gear2At > 32767)
        return Fault::Overflow;

    // 7. X-Z plane: moments about bearing A, then the balance of forces.
    RETURN_IF_FAULT(
        divide((static_cast<double>(r.Fr2z) + r.Ft2z) * gear2At + static_cast<double>(in.L1) * r.Fr1
                + static_cast<double>(r.Fa1) * 0.5 * in.d1 + static_cast<double>(r.Fa2) * r.r2z,
            in.L, v));
    RETURN_IF_FAULT(store(-v, r.RxzB));
    RETURN_IF_FAULT(store(-(static_cast<double>(r.Fr2z) + r.Ft2z + r.Fr1 + r.RxzB), r.RxzA));

    // 8. X-Y plane; gear 1's axial force has no lever arm here.
    RETURN_IF_FAULT(divide((static_cast<double>(r.Fr2y) + r.Ft2y) * gear2At
            + static_cast<double>(in.L1) * r.Ft1 + static_cast<double>(r.Fa2) * r.r2y,
        in.L, v));
    RETURN_IF_FAULT(store(-v, r.RxyB));
    RETURN_IF_FAULT(store(-(static_cast<double>(r.Fr2y) + r.Ft2y + r.Ft1 + r.RxyB), r.RxyA));

    // 9. Radial loads.
    RETURN_IF_FAULT(store(
        std::sqrt(static_cast<double>(r.RxzA) * r.RxzA + static_cast<double>(r.RxyA) * r.RxyA),
        r.RA));
    RETURN_IF_FAULT(store(
        std::sqrt(static_cast<double>(r.RxzB) * r.RxzB + static_cast<double>(r.RxyB) * r.RxyB),
        r.RB));
    return Fault::None;
}

Fault computeLives(const CalcInput &in, CalcResult &r)
{
    const bool tapered = in.TypeA == SingleRowTapered;
    const bool angular = in.TypeA == AngularContactBall;
    double v = 0;

    // 10. Internal axial forces of tapered and angular-contact bearings (bearing A's type decides).
    if (tapered) {
        if (in.AssembleA) { // face-to-face
            RETURN_IF_FAULT(divide(r.RA * 0.5, in.Y1A, v));
            RETURN_IF_FAULT(store(v, r.Sa));
            RETURN_IF_FAULT(divide(-0.5 * r.RB, in.Y1B, v));
            RETURN_IF_FAULT(store(v, r.Sb));
        } else {
            RETURN_IF_FAULT(divide(-0.5 * r.RA, in.Y1A, v));
            RETURN_IF_FAULT(store(v, r.Sa));
            RETURN_IF_FAULT(divide(r.RB * 0.5, in.Y1B, v));
            RETURN_IF_FAULT(store(v, r.Sb));
        }
    } else if (angular) {
        RETURN_IF_FAULT(store(r.RA * (in.AssembleA ? 1.14 : -1.14), r.Sa));
        RETURN_IF_FAULT(store(r.RB * (in.AssembleA ? -1.14 : 1.14), r.Sb));
    }

    // 11. Axial loads: the external axial force K and, for tapered and angular-contact bearings,
    // the internal forces decide which bearing takes it.
    const double external = static_cast<double>(in.G) + r.Fa1 + r.Fa2;
    if (tapered || angular) {
        float s = 0;
        RETURN_IF_FAULT(store(external + r.Sa + r.Sb, s));
        const bool towardB = s > 0.0001f;
        if (in.AssembleA == towardB) { // face-to-face pushed toward B, or back-to-back toward A
            RETURN_IF_FAULT(store(r.Sa, r.FA));
            RETURN_IF_FAULT(store(external + r.Sa, r.FB));
        } else {
            RETURN_IF_FAULT(store(external + r.Sb, r.FA));
            RETURN_IF_FAULT(store(r.Sb, r.FB));
        }
    } else if (in.AssembleA) { // bearing A floating
        r.FA = 0;
        RETURN_IF_FAULT(store(external, r.FB));
    } else if (in.AssembleB) { // bearing B floating
        RETURN_IF_FAULT(store(external, r.FA));
        r.FB = 0;
    } else {
        float k = 0;
        RETURN_IF_FAULT(store(external, k));
        if (k > 0.001f) {
            r.FB = k;
            r.FA = 0;
        } else {
            r.FA = k;
            r.FB = 0;
        }
    }
    r.FA = std::fabs(r.FA);
    r.FB = std::fabs(r.FB);

    // 12. Equivalent dynamic loads, each bearing by its own type.
    RETURN_IF_FAULT(equivalentLoad(in.TypeA, r.RA, r.FA, in.eA, in.Y1A, in.Y2A, r.PA));
    RETURN_IF_FAULT(equivalentLoad(in.TypeB, r.RB, r.FB, in.eB, in.Y1B, in.Y2B, r.PB));

    // 13. Rating lives, hours; an invalid argument skips only that life.
    if (const Fault f = ratingLife(in.TypeA, in.CrA, r.PA, in.n, r.LhA);
        f != Fault::None && f != Fault::InvalidArgument)
        return f;
    if (const Fault f = ratingLife(in.TypeB, in.CrB, r.PB, in.n, r.LhB);
        f != Fault::None && f != Fault::InvalidArgument)
        return f;
    return Fault::None;
}

} // namespace

Fault ComputeLoads(const CalcInput &input, CalcResult &result)
{
    RETURN_IF_FAULT(computeForces(input, result));
    return computeLives(input, result);
}

QString lifeCaptionNumber(float hours)
{
    const double h = hours;
    const int decimals = h - 1e7 > 0.00001 ? 0 : (h - 1e5 > 0.00001 ? 1 : 2);
    const auto tenThousands = static_cast<float>(h / 10000.0);
    const double rounded = Conv::roundHalfEven(static_cast<double>(tenThousands), decimals);
    return Conv::singleText(static_cast<float>(rounded));
}
