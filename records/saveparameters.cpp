#include "records/saveparameters.h"

#include "calc/prompter.h"

#include <QList>

bool FindShaftNumber(const QString &shaftNo, ShaftNumberLookup &lookup, StoreError &error)
{
    lookup = ShaftNumberLookup();
    QList<ShaftRecord> records;
    if (!RecordFiles::readShaftRecords(RecordFiles::gearPath(), records, error))
        return false;
    lookup.recordCount = static_cast<int>(records.size());
    for (int i = 0; i < lookup.recordCount; ++i) {
        if (RecordFiles::keysEqual(records[i].ShaftNo, shaftNo, RecordLayout::ShaftNoWidth)) {
            lookup.recordNo = i + 1; // the first one only; later duplicates are never touched
            break;
        }
    }
    return true;
}

QString replaceQuestion(const QString &shaftNo)
{
    return QStringLiteral("编号 ") + Conv::trimRight(shaftNo)
        + QStringLiteral(" 已经用过。是否替换？");
}

QString savedMessage(bool bearingAppended)
{
    return bearingAppended ? QStringLiteral("参数已保存,快用工具\\数据管理器完善. ")
                           : QStringLiteral("参数已保存     ");
}

bool WriteShaftCopy(const ShaftRecord &copy, int recordNo, StoreError &error)
{
    const QString path = RecordFiles::gearPath();
    if (recordNo > 0)
        return RecordFiles::replaceShaftRecord(path, recordNo, copy, error);
    return RecordFiles::appendShaftRecord(path, copy, error);
}

bool AppendBearingCopies(const RecordCopies &copies, bool &appended, StoreError &error)
{
    appended = false;
    for (const BearingRecord *b : { &copies.bearingA, &copies.bearingB }) {
        error = StoreError();
        if (Module1::AppendBearingRecord(b->Model, b->Type, b->e, b->Y1, b->Y2, b->Cr, &error))
            appended = true;
        else if (error.failed())
            return false;
    }
    return true;
}

SaveOutcome SaveShaftRecord(const RecordCopies &copies, Prompter &prompter)
{
    SaveOutcome out;
    auto fail = [&](const StoreError &error) {
        out.kind = SaveOutcome::Failed;
        out.error = error;
        prompter.inform(error.text());
        return out;
    };

    ShaftNumberLookup lookup;
    StoreError error;
    if (!FindShaftNumber(copies.shaft.ShaftNo, lookup, error))
        return fail(error);

    if (lookup.recordNo > 0) {
        const int answer
            = prompter.message(replaceQuestion(copies.shaft.ShaftNo), QStringLiteral("Tolvenar"),
                Prompter::Yes | Prompter::No, Prompter::Icon::Information, Prompter::Yes);
        if (answer != Prompter::Yes) {
            out.kind = SaveOutcome::Declined;
            return out;
        }
        out.replaced = true;
    }

    if (!WriteShaftCopy(copies.shaft, lookup.recordNo, error))
        return fail(error);
    out.recordNo = lookup.recordNo > 0 ? lookup.recordNo : lookup.recordCount + 1;

    if (!AppendBearingCopies(copies, out.bearingAppended, error))
        return fail(error);

    out.kind = SaveOutcome::Saved;
    prompter.inform(savedMessage(out.bearingAppended));
    return out;
}

SaveOutcome SaveParameters(const InputSource &source, CalcInput &input, OptionFlags &flags,
    RecordCopies &copies, Prompter &prompter)
{
    const Fault fault = GatherInputs(source, input, flags, copies);
    if (fault != Fault::None) {
        // Reported as the compute command reports it; nothing has been opened or written.
        if (fault == Fault::Overflow)
            prompter.inform(QStringLiteral("数值溢出  "));
        else if (fault == Fault::DivisionByZero)
            prompter.inform(QStringLiteral("除数为零  "));
        SaveOutcome out;
        out.kind = SaveOutcome::ConversionFault;
        return out;
    }
    return SaveShaftRecord(copies, prompter);
}
