// The number and text conversions every part of the program relies on.

#include "calc/conversions.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

class TestConversions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }
    void valueOf_data();
    void valueOf();
    void toInteger_data();
    void toInteger();
    void toSingleOverflow();
    void roundDecimals_data();
    void roundDecimals();
    void singleText_data();
    void singleText();
    void fitText_data();
    void fitText();
};

void TestConversions::valueOf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << QStringLiteral("30") << 30.0;
    QTest::newRow("decimal point") << QStringLiteral("12.5") << 12.5;
    QTest::newRow("comma is no decimal point") << QStringLiteral("12,5") << 12.0;
    QTest::newRow("trailing unit") << QStringLiteral("12.5kW") << 12.5;
    QTest::newRow("unit mm") << QStringLiteral("40mm") << 40.0;
    QTest::newRow("blanks inside") << QStringLiteral(" 1 2 . 5 ") << 12.5;
    QTest::newRow("leading point") << QStringLiteral(".5") << 0.5;
    QTest::newRow("trailing point") << QStringLiteral("5.") << 5.0;
    QTest::newRow("negative") << QStringLiteral("-7.25") << -7.25;
    QTest::newRow("sign then blank") << QStringLiteral("- 3") << -3.0;
    QTest::newRow("plus sign") << QStringLiteral("+4") << 4.0;
    QTest::newRow("exponent") << QStringLiteral("1e3") << 1000.0;
    QTest::newRow("negative exponent") << QStringLiteral("2.5E-2") << 0.025;
    QTest::newRow("exponent without digits") << QStringLiteral("3e") << 3.0;
    QTest::newRow("D exponent") << QStringLiteral("1D2") << 100.0;
    QTest::newRow("no number") << QStringLiteral("abc") << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("only sign") << QStringLiteral("-") << 0.0;
    QTest::newRow("only point") << QStringLiteral(".") << 0.0;
    QTest::newRow("letters first") << QStringLiteral("kW12") << 0.0;
    QTest::newRow("second point ends") << QStringLiteral("1.2.3") << 1.2;
    QTest::newRow("slash ends") << QStringLiteral("20/") << 20.0;
    QTest::newRow("Chinese after") << QStringLiteral("75毫米") << 75.0;
    QTest::newRow("tiny exponent") << QStringLiteral("1e-400") << 0.0;
}

void TestConversions::valueOf()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Conv::valueOf(text), value);
}

void TestConversions::toInteger_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("overflow");
    QTest::addColumn<int>("result");
    QTest::newRow("2.5 to even") << 2.5 << false << 2;
    QTest::newRow("3.5 to even") << 3.5 << false << 4;
    QTest::newRow("8.5 helix") << 8.5 << false << 8;
    QTest::newRow("9.5 helix") << 9.5 << false << 10;
    QTest::newRow("-2.5") << -2.5 << false << -2;
    QTest::newRow("2.4999") << 2.4999 << false << 2;
    QTest::newRow("upper limit") << 32767.0 << false << 32767;
    QTest::newRow("rounds to upper limit") << 32767.4 << false << 32767;
    QTest::newRow("32767.5 overflows") << 32767.5 << true << 0;
    QTest::newRow("lower limit") << -32768.0 << false << -32768;
    QTest::newRow("-32768.5 to even stays") << -32768.5 << false << -32768;
    QTest::newRow("-32769") << -32769.0 << true << 0;
    QTest::newRow("span 40000") << 40000.0 << true << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << true << 0;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << true << 0;
}

void TestConversions::toInteger()
{
    QFETCH(double, value);
    QFETCH(bool, overflow);
    QFETCH(int, result);
    std::int16_t out = 77;
    const Fault f = Conv::toInteger(value, out);
    QCOMPARE(f == Fault::Overflow, overflow);
    QCOMPARE(int(out), overflow ? 77 : result); // untouched on overflow
}

void TestConversions::toSingleOverflow()
{
    float out = 1;
    QCOMPARE(Conv::toSingle(3.4028234e38, out), Fault::None);
    QCOMPARE(Conv::toSingle(3.5e38, out), Fault::Overflow);
    QCOMPARE(Conv::toSingle(-1e39, out), Fault::Overflow);
    QCOMPARE(Conv::toSingle(std::nan(""), out), Fault::Overflow);
    QCOMPARE(Conv::toSingle(0.1, out), Fault::None);
    QCOMPARE(out, 0.1f);
}

void TestConversions::roundDecimals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("rounded");
    QTest::newRow("0.125 -> 0.12") << 0.125 << 2 << 0.12;
    QTest::newRow("0.375 -> 0.38") << 0.375 << 2 << 0.38;
    QTest::newRow("2.675 is below the half") << 2.675 << 2 << 2.67;
    QTest::newRow("1.005 is below the half") << 1.005 << 2 << 1.0;
    QTest::newRow("float 0.37") << double(0.37f) << 2 << 0.37;
    QTest::newRow("float 1.6") << double(1.6f) << 2 << 1.6;
    QTest::newRow("12.25 -> 12.2") << 12.25 << 1 << 12.2;
    QTest::newRow("-12.25 -> -12.2") << -12.25 << 1 << -12.2;
    QTest::newRow("658.7051 -> 658.7") << 658.7051 << 1 << 658.7;
    QTest::newRow("0.5 -> 0") << 0.5 << 0 << 0.0;
    QTest::newRow("1.5 -> 2") << 1.5 << 0 << 2.0;
}

void TestConversions::roundDecimals()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(double, rounded);
    QCOMPARE(Conv::roundHalfEven(value, decimals), rounded);
}

void TestConversions::singleText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0f << QStringLiteral("0");
    QTest::newRow("whole") << 150.0f << QStringLiteral("150");
    QTest::newRow("0.37") << 0.37f << QStringLiteral("0.37");
    QTest::newRow("1.6") << 1.6f << QStringLiteral("1.6");
    QTest::newRow("negative") << -505.18f << QStringLiteral("-505.18");
    QTest::newRow("seven digits") << 3183.333f << QStringLiteral("3183.333");
    QTest::newRow("rounded to seven") << 2865.0001f << QStringLiteral("2865");
    QTest::newRow("1234567") << 1234567.0f << QStringLiteral("1234567");
    QTest::newRow("exponent above 10^7") << 12345678.0f << QStringLiteral("1.234568E+07");
    QTest::newRow("10^7") << 1.0e7f << QStringLiteral("1E+07");
    QTest::newRow("small") << 0.00001f << QStringLiteral("0.00001");
    QTest::newRow("smaller") << 0.000001f << QStringLiteral("1E-06");
    QTest::newRow("6 587 051") << 6587051.0f << QStringLiteral("6587051");
}

void TestConversions::singleText()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(Conv::singleText(value), text);
}

void TestConversions::fitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("fitted");
    QTest::newRow("pad") << QStringLiteral("WX") << 5 << QStringLiteral("WX   ");
    QTest::newRow("cut") << QStringLiteral("ABCDEFG") << 3 << QStringLiteral("ABC");
    QTest::newRow("exact") << QStringLiteral("ABC") << 3 << QStringLiteral("ABC");
    QTest::newRow("Chinese counts as one") << QStringLiteral("轴承型号") << 6
                                           << QStringLiteral("轴承型号  ");
    QTest::newRow("Chinese cut") << QStringLiteral("调心滚子轴承") << 2 << QStringLiteral("调心");
    QTest::newRow("empty") << QString() << 3 << QStringLiteral("   ");
}

void TestConversions::fitText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, fitted);
    QCOMPARE(Conv::fitText(text, width), fitted);
}

QTEST_GUILESS_MAIN(TestConversions)
#include "tst_conversions.moc"
