// Writes the record files in an endless loop for the crash tests to kill at random moments; every
// record carries a check value, so a reader tells a whole record from a torn one. Modes (DIR MODE):
// rewrite: bearing.sav holds generation g: 100 + 50*(g%2) bearings "M00000".., Cr = g;
// append: appends "S00000".. to gear.sav (P1 = i, n = 2i); replace: overwrites the records of a
// 50-record gear.sav in turn (P1 = g, n = 2g); merge: merge g brings 1000 new bearings "K<g>-<i>"
// (5 digits each, Cr = g + 1); add (once, as another copy would): appends "Z9999" to bearing.sav.

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

QString numbered(const QString &prefix, int i)
{
    return prefix + QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
}

QList<BearingRecord> bearings(int count, const QString &prefix, float cr)
{
    QList<BearingRecord> list;
    for (int i = 0; i < count; ++i)
        list.append({ numbered(prefix, i), 1, 0, 0, 0, 0.5f, 0, 0, cr });
    return list;
}

ShaftRecord shaft(int number, int value)
{
    ShaftRecord s;
    s.ShaftNo = numbered(u"S"_qs, number), s.P1 = float(value), s.n = float(2 * value);
    return s;
}

bool merge(int g)
{
    if (g > RecordLayout::MaxRecords / 1000)
        return pause(), true; // past the record limit the driver only waits
    const QString source = QDir(appDirectory()).filePath(QStringLiteral("source.sav"));
    if (!ok(rewriteBearingFile(source, bearings(1000, numbered(u"K"_qs, g) + u'-', g + 1.0f))))
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
        if (!done)
            return std::fprintf(stderr, "%s\n", qPrintable(lastError.text())), 1;
        if (i == 1) // the first write is complete: the test may now kill at any moment
            std::fputs("done\n", stdout), std::fflush(stdout);
    }
}
