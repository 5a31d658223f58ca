// A small program that writes the record files in an endless loop, for the crash tests to kill at
// random moments. Every record it writes carries a check value, so a reader can tell a whole
// record from a torn one.
//
//   crashdriver DIR rewrite   rewrites bearing.sav again and again (generation g: 100 + 50*(g%2)
//                             bearings "M00000".., Cr = g, e = 0.5)
//   crashdriver DIR append    appends shaft records "S00000".. to gear.sav (P1 = i, n = 2i)
//   crashdriver DIR replace   overwrites the records of a 50-record gear.sav in turn (P1 = g,
//                             n = 2g, the number unchanged)

#include "records/recordfile.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>

namespace {

QList<BearingRecord> generation(int g)
{
    QList<BearingRecord> list;
    const int count = 100 + 50 * (g % 2);
    for (int i = 0; i < count; ++i) {
        BearingRecord b;
        b.Model = QStringLiteral("M%1").arg(i, 5, 10, QLatin1Char('0'));
        b.Type = 1;
        b.e = 0.5f;
        b.Cr = static_cast<float>(g);
        list.append(b);
    }
    return list;
}

ShaftRecord shaft(int number, int value)
{
    ShaftRecord s;
    s.ShaftNo = QStringLiteral("S%1").arg(number, 5, 10, QLatin1Char('0'));
    s.P1 = static_cast<float>(value);
    s.n = static_cast<float>(2 * value);
    return s;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    RecordFiles::setAppDirectory(QString::fromLocal8Bit(argv[1]));
    const QString mode = QString::fromLatin1(argv[2]);
    StoreError error;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int i = 1;; ++i) {
        bool ok = true;
        if (mode == QLatin1String("rewrite"))
            ok = RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(), generation(i), error);
        else if (mode == QLatin1String("append"))
            ok = RecordFiles::appendShaftRecord(RecordFiles::gearPath(), shaft(i - 1, i - 1), error)
                    || i > RecordLayout::MaxRecords;
        else if (mode == QLatin1String("replace"))
            ok = RecordFiles::replaceShaftRecord(RecordFiles::gearPath(), (i - 1) % 50 + 1,
                                                 shaft((i - 1) % 50, i), error);
        else
            return 2;
        if (!ok) {
            std::fprintf(stderr, "%s\n", qPrintable(error.text()));
            return 1;
        }
    }
}
