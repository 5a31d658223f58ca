#include "reports/resultreport.h"

#include "calc/conversions.h"
#include "reports/textfile.h"

#include <cmath>

namespace {

// Both powers are shown only when they differ by 0.0001 kW or more (compared in 32-bit floats).
// A difference beyond the float range simply counts as different.
bool onePower(float p1, float p2)
{
    float magnitude = 0;
    if (Conv::toSingle(std::fabs(static_cast<double>(p1) - static_cast<double>(p2)), magnitude)
        != Fault::None)
        return false;
    return magnitude < 0.0001f;
}

// A life in 万小时 (10^4 h): hours / 10000 in 32-bit floats, rounded to 2 decimals, halves to even.
double lifeInTenThousandHours(float hours)
{
    const float q = hours / 10000.0f;
    return Conv::roundHalfEven(static_cast<double>(q), 2);
}

QString bearingLine(
    const QString &label, const QString &model, float cr, const QString &lifeLabel, float hours)
{
    return PrintedLine()
        .text(label)
        .text(Conv::trimRight(model))
        .text(QStringLiteral(" Cr="))
        .number(cr)
        .text(QStringLiteral("kN"))
        .text(lifeLabel)
        .rounded(lifeInTenThousandHours(hours))
        .text(QStringLiteral("万小时"))
        .toString();
}

QString forcesLine(const QString &label, float r, const QString &axialLabel, float f,
    const QString &loadLabel, float p)
{
    return PrintedLine()
        .text(label)
        .number(r)
        .text(axialLabel)
        .number(f)
        .text(loadLabel)
        .number(p)
        .toString();
}

} // namespace

QStringList ResultReportLines(
    const CalcInput &in, const CalcResult &res, const QString &numberText, const QString &dateText)
{
    QStringList lines;
    lines << QStringLiteral("* * * * * Tolvenar * * * * *");
    lines << PrintedLine().text(QStringLiteral("编号")).column(6).text(numberText).toString();

    PrintedLine power;
    power.text(QStringLiteral("P= ")).number(in.P1);
    if (!onePower(in.P1, in.P2))
        power.text(QStringLiteral("/")).number(in.P2);
    power.text(QStringLiteral("kW"))
        .text(QStringLiteral("  n="))
        .number(in.n)
        .text(QStringLiteral("rpm"))
        .text(QStringLiteral("  L1="))
        .integer(in.L1)
        .text(QStringLiteral("mm"));
    lines << power.toString();
    lines << QString();

    lines << bearingLine(
        QStringLiteral("A 轴承 "), in.ModelA, in.CrA, QStringLiteral("  LhA="), res.LhA);
    lines << bearingLine(
        QStringLiteral("B 轴承 "), in.ModelB, in.CrB, QStringLiteral("  LhB="), res.LhB);
    lines << QString();

    lines << QStringLiteral("计算数据 (单位: N)");
    lines << QStringLiteral("齿轮受力");
    lines << QStringLiteral("Ft1,Fr1,Fa1 //");
    lines << CommaLine().number(res.Ft1).number(res.Fr1).number(res.Fa1).toString();
    lines << QStringLiteral("Ft2,Fr2,Fa2 //");
    lines << CommaLine().number(res.Ft2).number(res.Fr2).number(res.Fa2).toString();
    lines << QStringLiteral("A 轴承受力");
    lines << forcesLine(QStringLiteral("RA= "), res.RA, QStringLiteral(" FaA= "), res.FA,
        QStringLiteral(" PA= "), res.PA);
    lines << QStringLiteral("B 轴承受力");
    lines << forcesLine(QStringLiteral("RB= "), res.RB, QStringLiteral(" FaB= "), res.FB,
        QStringLiteral(" PB= "), res.PB);
    lines << QString();
    lines << PrintedLine().text(QStringLiteral("计算日期")).column(11).text(dateText).toString();
    return lines;
}

Result<> writeResultReport(const QString &path, const CalcInput &input, const CalcResult &result,
    const QString &numberText, const QString &dateText)
{
    return TextFile::writeLines(path, ResultReportLines(input, result, numberText, dateText));
}
