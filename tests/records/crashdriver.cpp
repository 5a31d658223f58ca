// Writes the record files in an endless loop for the crash tests to kill at random moments. Every
// record carries a check value, so a reader can tell a whole record from a torn one.
//   crashdriver DIR rewrite   rewrites bearing.sav: generation g holds 100 + 50*(g%2) bearings
//                             "M00000".., Cr = g
//   crashdriver DIR append    appends "S00000".. to gear.sav (P1 = i, n = 2i)
//   crashdriver DIR replace   overwrites the records of a 50-record gear.sav in turn (P1 = g, n =
//   2g) crashdriver DIR merge     merge g brings 1000 new bearings "K<g>-<i>" (5 digits each,
//                             Cr = g + 1)
// and once, as another copy of the program would while the data manager is open:
//   crashdriver DIR add       appends the bearing "Z9999" to bearing.sav

#include "catalogue/combiner.h"
#include "records/recordfile.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <unistd.h>

namespace {

using namespace RecordFiles;

FileError lastError; // for the closing message

template <typename T> bool ok(const Result<T> &r)
{
    if (!r)
        lastError = r.error();
    return r.ok();
}

// count bearings named prefix + number (5 digits), Cr = cr, e = 0.5.
QList<BearingRecord> bearings(int count, const QString &prefix, float cr)
{
    QList<BearingRecord> list;
    for (int i = 0; i < count; ++i)
        list.append({ prefix + QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')), 1, 0, 0, 0,
            0.5f, 0, 0, cr });
    return list;
}

// "S<number>" with P1 = value, n = 2 * value.
ShaftRecord shaft(int number, int value)
{
    ShaftRecord s;
    s.ShaftNo = QStringLiteral("S%1").arg(number, 5, 10, QLatin1Char('0'));
    s.P1 = float(value), s.n = float(2 * value);
    return s;
}

bool merge(int g)
{
    if (g > RecordLayout::MaxRecords / 1000) {
        pause(); // past the record limit the driver only waits
        return true;
    }
    const QString source = QDir(appDirectory()).filePath(QStringLiteral("source.sav"));
    const QString prefix = QStringLiteral("K%1-").arg(g, 5, 10, QLatin1Char('0'));
    if (!ok(rewriteBearingFile(source, bearings(1000, prefix, float(g + 1)))))
        return false;
    const auto merged = Combiner::mergeBearingFiles(source, bearingPath());
    if (merged && (*merged)->stopped)
        lastError = *(*merged)->stopped;
    return ok(merged) && !(*merged)->stopped;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    setAppDirectory(QString::fromLocal8Bit(argv[1]));
    const QString mode = QString::fromLatin1(argv[2]);
    if (mode == u"add")
        return ok(appendBearingRecord(bearingPath(), { u"Z9999"_qs, 0, 0, 0, 0, 0.3f, 0, 0, 50 }))
            ? 0
            : 1;
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int i = 1;; ++i) {
        bool done = false;
        if (mode == u"rewrite")
            done = ok(
                rewriteBearingFile(bearingPath(), bearings(100 + 50 * (i % 2), u"M"_qs, float(i))));
        else if (mode == u"append")
            done = ok(appendShaftRecord(gearPath(), shaft(i - 1, i - 1)))
                || i > RecordLayout::MaxRecords;
        else if (mode == u"replace")
            done = ok(replaceShaftRecord(gearPath(), (i - 1) % 50 + 1, shaft((i - 1) % 50, i)));
        else if (mode == u"merge")
            done = merge(i);
        else
            return 2;
        if (!done) {
            std::fprintf(stderr, "%s\n", qPrintable(lastError.text()));
            return 1;
        }
        if (i == 1) { // the first write is complete: the test may now kill at any moment
            std::fputs("done\n", stdout);
            std::fflush(stdout);
        }
    }
}
