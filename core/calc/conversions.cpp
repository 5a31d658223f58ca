#include "calc/conversions.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

QString faultText(Fault fault)
{
    switch (fault) {
    case Fault::Overflow:
        return QStringLiteral("数值溢出  ");
    case Fault::DivisionByZero:
        return QStringLiteral("除数为零  ");
    case Fault::None:
    case Fault::InvalidArgument:
        break;
    }
    return QString();
}

namespace Conv {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Digits and exponent of a value rounded to `digits` significant digits, as printf's %e makes them
// (glibc rounds on the exact binary value). mantissa holds the digits without the point.
struct Decimal
{
    bool negative = false;
    std::string mantissa;
    int exponent = 0;
};

Decimal decimalDigits(double value, int digits)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    Decimal d;
    const char *p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p) {
        if (*p != '.')
            d.mantissa.push_back(*p);
    }
    if (*p == 'e')
        d.exponent = std::atoi(p + 1);
    while (d.mantissa.size() > 1 && d.mantissa.back() == '0')
        d.mantissa.pop_back();
    return d;
}

QString generalText(double value, int digits, int maxFixedExponent, int minFixedExponent)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0)
        return QStringLiteral("0");

    const Decimal d = decimalDigits(value, digits);
    std::string out;
    if (d.negative)
        out.push_back('-');
    if (d.exponent >= maxFixedExponent || d.exponent < minFixedExponent) {
        out.push_back(d.mantissa[0]);
        if (d.mantissa.size() > 1) {
            out.push_back('.');
            out.append(d.mantissa, 1, std::string::npos);
        }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
        out.append(exp);
    } else if (d.exponent < 0) {
        out.append("0.");
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out.append(d.mantissa);
    } else {
        const auto intDigits = static_cast<std::size_t>(d.exponent + 1);
        if (d.mantissa.size() <= intDigits) {
            out.append(d.mantissa);
            out.append(intDigits - d.mantissa.size(), '0');
        } else {
            out.append(d.mantissa, 0, intDigits);
            out.push_back('.');
            out.append(d.mantissa, intDigits, std::string::npos);
        }
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace

double valueOf(QStringView text)
{
    // Collect the numeric prefix with blanks removed, then let from_chars read it (locale-free).
    std::string num;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-')
            num.push_back('-');
        ++i;
    }
    bool anyDigit = false;
    auto digitsInto = [&] {
        for (skipBlanks(); i < n && isDigit(text[i]); skipBlanks()) {
            num.push_back(static_cast<char>(text[i].unicode()));
            anyDigit = true;
            ++i;
        }
    };
    digitsInto();
    skipBlanks();
    if (i < n && text[i] == u'.') {
        num.push_back('.');
        ++i;
        digitsInto();
    }
    if (!anyDigit)
        return 0.0;
    skipBlanks();
    if (i < n && (text[i] == u'e' || text[i] == u'E' || text[i] == u'd' || text[i] == u'D')) {
        std::string exp = "e";
        qsizetype j = i + 1;
        while (j < n && isBlank(text[j]))
            ++j;
        if (j < n && (text[j] == u'+' || text[j] == u'-')) {
            exp.push_back(static_cast<char>(text[j].unicode()));
            ++j;
        }
        bool expDigit = false;
        for (;;) {
            while (j < n && isBlank(text[j]))
                ++j;
            if (j >= n || !isDigit(text[j]))
                break;
            if (exp.size() < 12) // beyond that the value is 0 or infinite anyway
                exp.push_back(static_cast<char>(text[j].unicode()));
            expDigit = true;
            ++j;
        }
        if (expDigit)
            num += exp;
    }
    if (num.back() == '.')
        num.pop_back();
    double value = 0.0;
    const char *first = num.data();
    const char *last = num.data() + num.size();
    const auto res = std::from_chars(first, last, value);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves value untouched here: decide between 0 and infinity by the exponent.
        const auto e = num.find('e');
        const bool tiny = e != std::string::npos && num.find('-', e) != std::string::npos;
        const bool neg = num.front() == '-';
        value = tiny ? (neg ? -0.0 : 0.0) : (neg ? -HUGE_VAL : HUGE_VAL);
    }
    return value;
}

Fault toSingle(double value, float &out)
{
    // FLT_MAX plus half an ulp: everything at or beyond it rounds to infinity.
    static const double limit = std::ldexp(2.0 - std::ldexp(1.0, -24), 127);
    if (std::isnan(value) || std::fabs(value) >= limit)
        return Fault::Overflow;
    out = static_cast<float>(value);
    return Fault::None;
}

Fault toInteger(double value, std::int16_t &out)
{
    if (std::isnan(value))
        return Fault::Overflow;
    const double r = roundHalfEven(value);
    if (r < -32768.0 || r > 32767.0)
        return Fault::Overflow;
    out = static_cast<std::int16_t>(r);
    return Fault::None;
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double f = std::floor(value);
    const double diff = value - f; // exact for doubles
    if (diff > 0.5)
        return f + 1.0;
    if (diff < 0.5)
        return f;
    return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

double roundHalfEven(double value, int decimals)
{
    if (decimals <= 0)
        return roundHalfEven(value);
    if (!std::isfinite(value))
        return value;
    double scale = 1.0;
    for (int i = 0; i < decimals; ++i)
        scale *= 10.0;
    const double x = value * scale;
    if (!std::isfinite(x) || std::fabs(x) >= 4503599627370496.0) // 2^52: already whole
        return value;
    const double f = std::floor(x);
    // Sign of the exact value*scale - (f + 0.5): fma rounds once, so the sign is exact.
    const double d = std::fma(value, scale, -(f + 0.5));
    double r;
    if (d > 0)
        r = f + 1.0;
    else if (d < 0)
        r = f;
    else
        r = std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
    return r / scale;
}

QString singleText(float value)
{
    return generalText(static_cast<double>(value), 7, 7, -5);
}

QString doubleText(double value, int significantDigits)
{
    return generalText(value, significantDigits, significantDigits, -5);
}

QString fitText(const QString &text, int width)
{
    if (width <= 0)
        return QString();
    if (text.size() >= width) {
        QString cut = text.left(width);
        if (cut.back().isHighSurrogate())
            cut.back() = u' ';
        return cut;
    }
    return text + QString(width - text.size(), u' ');
}

QString trimRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

} // namespace Conv
