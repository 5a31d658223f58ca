#include "reports/detaileddata.h"

#include "calc/conversions.h"
#include "records/records.h"
#include "reports/textfile.h"

QStringList DetailedDataLines(const CalcInput &in, const CalcResult &res, const QString &numberText,
    bool assembleA, bool assembleB)
{
    QStringList lines;
    lines << QStringLiteral("坐标设定: Y-齿轮1所受圆周力方向; Z-齿轮1所受径向力方向");
    lines << QStringLiteral("          X-轴承A指向轴承B方向");
    lines << QString(55, u'-');
    lines << PrintedLine().text(QStringLiteral("编号:")).column(8).text(numberText).toString();

    lines << QStringLiteral("P1,P2,n,T1,T2,L,ALFA //");
    lines << CommaLine()
                 .number(in.P1)
                 .number(in.P2)
                 .number(in.n)
                 .number(res.T1)
                 .number(res.T2)
                 .integer(in.L)
                 .integer(in.ALFA)
                 .toString();

    lines << QStringLiteral("齿轮参数");
    lines << QStringLiteral("轴向力方向 -1无轴向力,1向左,0向右");
    lines << QStringLiteral("L1,d1,BTA1,ALFA1,Fa1方向,L2,d2,BTA2,ALFA2,Fa2方向 //");
    lines << CommaLine()
                 .integer(in.L1)
                 .integer(in.d1)
                 .integer(in.BTA1)
                 .integer(in.ALFA1)
                 .integer(in.Fa1Dir)
                 .integer(in.L2)
                 .integer(in.d2)
                 .integer(in.BTA2)
                 .integer(in.ALFA2)
                 .integer(in.Fa2Dir)
                 .toString();

    lines << QStringLiteral("轴承参数");
    lines << QStringLiteral(
        "轴承类型 0调心轴承,1单列圆锥轴承,2配对圆锥轴承,3圆柱滚子轴承,4角接触球轴承");
    lines << QStringLiteral("A型号,类型,e,Y1,Y2,Cr //");
    lines << CommaLine()
                 .text(Conv::fitText(in.ModelA, RecordLayout::ModelWidth))
                 .integer(in.TypeA)
                 .number(in.eA)
                 .number(in.Y1A)
                 .number(in.Y2A)
                 .number(in.CrA)
                 .toString();
    lines << QString();
    lines << QStringLiteral("B型号,类型,e,Y1,Y2,Cr //");
    lines << CommaLine()
                 .text(Conv::fitText(in.ModelB, RecordLayout::ModelWidth))
                 .integer(in.TypeB)
                 .number(in.eB)
                 .number(in.Y1B)
                 .number(in.Y2B)
                 .number(in.CrB)
                 .toString();

    lines << QStringLiteral("装配形式 //");
    lines << QStringLiteral(
        "前一项若为TRUE,表示面对面安装或A游动,后一项若为TRUE,表示背对背安装或B游动");
    lines << CommaLine().boolean(assembleA).boolean(assembleB).toString();
    lines << QStringLiteral("是否考虑自重影响及自重 //");
    lines << QStringLiteral("前一项为0不考虑，1考虑,后一项为自重");
    lines << CommaLine().integer(in.WeightOn).number(in.G).toString();

    lines << QStringLiteral("详细计算数据:");
    lines << QStringLiteral("齿轮受力");
    lines << QStringLiteral("Ft1,Fr1,Fa1,Ft2,Fr2,Fa2 //");
    lines << CommaLine()
                 .number(res.Ft1)
                 .number(res.Fr1)
                 .number(res.Fa1)
                 .number(res.Ft2)
                 .number(res.Fr2)
                 .number(res.Fa2)
                 .toString();
    lines << QStringLiteral("齿轮2受力分解");
    lines << QStringLiteral("Ft2y,Ft2z,Fr2y,Fr2z //");
    lines << CommaLine()
                 .number(res.Ft2y)
                 .number(res.Ft2z)
                 .number(res.Fr2y)
                 .number(res.Fr2z)
                 .toString();
    lines << QStringLiteral("轴承受力(分别在X-Z平面,X-Y平面)");
    lines << QStringLiteral("RxzB,RxzA,RxyB,RxyA //");
    lines << CommaLine()
                 .number(res.RxzB)
                 .number(res.RxzA)
                 .number(res.RxyB)
                 .number(res.RxyA)
                 .toString();
    lines << QStringLiteral("内部轴向力");
    lines << QStringLiteral("Sa,Sb //");
    lines << CommaLine().number(res.Sa).number(res.Sb).toString();
    lines << QStringLiteral("轴承A受力");
    lines << QStringLiteral("RA,FA,PA //");
    lines << CommaLine().number(res.RA).number(res.FA).number(res.PA).toString();
    lines << QStringLiteral("轴承B受力");
    lines << QStringLiteral("RB,FB,PB //");
    lines << CommaLine().number(res.RB).number(res.FB).number(res.PB).toString();
    lines << QStringLiteral("轴承寿命");
    lines << QStringLiteral("LhA,LhB //");
    lines << CommaLine().number(res.LhA).number(res.LhB).toString();
    return lines;
}

Result<> writeDetailedData(const QString &path, const CalcInput &input, const CalcResult &result,
    const QString &numberText, bool assembleA, bool assembleB)
{
    return TextFile::writeLines(
        path, DetailedDataLines(input, result, numberText, assembleA, assembleB));
}
