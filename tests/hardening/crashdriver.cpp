// Writes record files endlessly for the crash tests to kill. DIR MODE: rewrite: generation g of
// bearing.sav, 100 + 50*(g%2) bearings "M00000".., Cr g; append: "S00000".. to gear.sav, P1 i,
// n 2i; replace: gear.sav's 50 records in turn, P1 g, n 2g; merge g: 1000 "M.." more, Cr g + 1.

#include "catalogue/combiner.h"
#include "records/recordfile.h"

#include <QtCore>

#include <cstdio>

using namespace RecordFiles;

namespace {

FileError lastError; // for the closing message
const auto ok = [](const auto &r) { return r ? true : (lastError = r.error(), false); };
const auto shaft = [](int i, float v) {
    return ShaftRecord { QString::asprintf("S%05d", i), v, 0, 2 * v, 0, 0, {}, 0, 0, {}, {} };
};

QList<BearingRecord> bearings(int count, float cr, int first = 0)
{
    QList<BearingRecord> list;
    for (int i = first; i < first + count; ++i)
        list.append({ QString::asprintf("M%05d", i), 1, 0, 0, 0, 0.5f, 0, 0, cr });
    return list;
}

bool merge(int g)
{
    if (g > RecordLayout::MaxRecords / 1000) // past the record limit the driver only waits
        return QThread::sleep(3600), true;
    const QString source = QDir(appDirectory()).filePath(u"source.sav"_qs);
    if (!ok(rewriteBearingFile(source, bearings(1000, g + 1.0f, (g - 1) * 1000))))
        return false;
    const auto merged = Combiner::mergeBearingFiles(source, bearingPath());
    return ok(merged) && (!(*merged)->stopped || (lastError = *(*merged)->stopped, false));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    setAppDirectory(QString::fromLocal8Bit(argv[1]));
    const QByteArray mode = argv[2];
    if (mode == "add")
        return !ok(appendBearingRecord(bearingPath(), { u"Z9999"_qs, 0, 0, 0, 0, 0.3f, 0, 0, 50 }));
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::fputs("ready\n", stdout);
    for (int i = 1;; ++i) {
        const bool done = mode == "rewrite"
            ? ok(rewriteBearingFile(bearingPath(), bearings(100 + 50 * (i % 2), float(i))))
            : mode == "append"
            ? ok(appendShaftRecord(gearPath(), shaft(i - 1, i - 1))) || i > RecordLayout::MaxRecords
            : mode == "replace"
            ? ok(replaceShaftRecord(gearPath(), (i - 1) % 50 + 1, shaft((i - 1) % 50, i)))
            : mode == "merge" && merge(i);
        if (!done)
            return std::fprintf(stderr, "%s\n", qPrintable(lastError.text())), 1;
        if (i == 1) // the first write is complete: the test may now kill at any moment
            std::fputs("done\n", stdout);
    }
}
