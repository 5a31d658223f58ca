// A small program that writes the record files in an endless loop, for the crash tests to kill at
// random moments. Every record it writes carries a check value, so a reader can tell a whole
// record from a torn one.
//
//   crashdriver DIR rewrite   rewrites bearing.sav again and again (generation g: 100 + 50*(g%2)
//                             bearings "M00000".., Cr = g, e = 0.5)
//   crashdriver DIR append    appends shaft records "S00000".. to gear.sav (P1 = i, n = 2i)
//   crashdriver DIR replace   overwrites the records of a 50-record gear.sav in turn (P1 = g,
//                             n = 2g, the number unchanged)
//   crashdriver DIR merge     merges source.sav into bearing.sav again and again; merge g brings
//                             MergeBlock new bearings "K<g>-<i>" (type g % 5, Cr = g + 1)
// and once, as another copy of the program would while the first waits for its user:
//   crashdriver DIR move      moves gear.sav's first record to the end, "X00000" taking its place
//   crashdriver DIR add       appends the bearing "Z9999" to bearing.sav

#include "catalogue/combiner.h"
#include "records/recordfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <cstdio>
#include <unistd.h>

namespace {

// count bearings named name(i), type, Cr and e = 0.5.
template <class Name> QList<BearingRecord> bearings(int count, int type, float cr, Name name)
{
    QList<BearingRecord> list;
    for (int i = 0; i < count; ++i) {
        BearingRecord b;
        b.Model = name(i);
        b.Type = static_cast<std::uint8_t>(type);
        b.e = 0.5f;
        b.Cr = cr;
        list.append(b);
    }
    return list;
}

QString numbered(QChar prefix, int i)
{
    return QStringLiteral("%1%2").arg(prefix).arg(i, 5, 10, QLatin1Char('0'));
}

// "S<number>" with P1 = value, n = 2 * value; a negative value gives "X<number>".
ShaftRecord shaft(int number, int value)
{
    ShaftRecord s;
    s.ShaftNo = numbered(value < 0 ? u'X' : u'S', number);
    s.P1 = static_cast<float>(value);
    s.n = static_cast<float>(2 * value);
    return s;
}

FileError lastError;

// Whether r succeeded; keeps its error for the closing message.
template <typename T> bool ok(const Result<T> &r)
{
    if (!r)
        lastError = r.error();
    return r.ok();
}

constexpr int MergeBlock = 1000; // bearings brought by one merge: a write of many pages

// Merge g: writes the source and merges it. Past the record limit the driver only waits.
bool merge(int g)
{
    if (g > RecordLayout::MaxRecords / MergeBlock) {
        pause();
        return true;
    }
    const QString source = QDir(RecordFiles::appDirectory()).filePath(QStringLiteral("source.sav"));
    if (!ok(RecordFiles::rewriteBearingFile(
            source, bearings(MergeBlock, g % 5, float(g + 1), [g](int i) {
                return QStringLiteral("K%1-%2")
                    .arg(g, 5, 10, QLatin1Char('0'))
                    .arg(i, 4, 10, QLatin1Char('0'));
            }))))
        return false;
    const auto merged = Combiner::mergeBearingFiles(source, RecordFiles::bearingPath());
    if (ok(merged) && (*merged)->stopped)
        lastError = *(*merged)->stopped;
    return merged && !(*merged)->stopped;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    RecordFiles::setAppDirectory(QString::fromLocal8Bit(argv[1]));
    const QString mode = QString::fromLatin1(argv[2]);
    if (mode == QLatin1String("move") || mode == QLatin1String("add")) {
        BearingRecord added;
        added.Model = QStringLiteral("Z9999");
        added.e = 0.3f;
        added.Cr = 50;
        if (mode == QLatin1String("add"))
            return ok(RecordFiles::appendBearingRecord(RecordFiles::bearingPath(), added)) ? 0 : 1;
        const auto read = RecordFiles::readShaftRecords(RecordFiles::gearPath());
        const bool moved = read && !read->records.isEmpty()
            && ok(RecordFiles::replaceShaftRecord(RecordFiles::gearPath(), 1, shaft(0, -1)))
            && ok(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), read->records.first()));
        return moved ? 0 : 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    for (int i = 1;; ++i) {
        bool done = true;
        if (mode == QLatin1String("rewrite"))
            done = ok(RecordFiles::rewriteBearingFile(RecordFiles::bearingPath(),
                bearings(
                    100 + 50 * (i % 2), 1, float(i), [](int j) { return numbered(u'M', j); })));
        else if (mode == QLatin1String("append"))
            done = ok(RecordFiles::appendShaftRecord(RecordFiles::gearPath(), shaft(i - 1, i - 1)))
                || i > RecordLayout::MaxRecords;
        else if (mode == QLatin1String("replace"))
            done = ok(RecordFiles::replaceShaftRecord(
                RecordFiles::gearPath(), (i - 1) % 50 + 1, shaft((i - 1) % 50, i)));
        else if (mode == QLatin1String("merge"))
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
