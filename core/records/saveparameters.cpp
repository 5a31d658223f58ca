#include "records/saveparameters.h"

#include <QList>

#include <utility>

namespace {

float roundTo2(float value)
{
    return static_cast<float>(Conv::roundHalfEven(static_cast<double>(value), 2));
}

BearingRecord bearingCopy(
    const QString &model, std::int16_t type, float e, float y1, float y2, float cr)
{
    BearingRecord copy;
    copy.Model = model;
    copy.Type = static_cast<std::uint8_t>(type);
    const TypeFactors used = factorsUsed(type);
    copy.e = used.e ? roundTo2(e) : 0;
    copy.Y1 = used.y1 ? roundTo2(y1) : 0;
    copy.Y2 = used.y2 ? roundTo2(y2) : 0;
    copy.Cr = roundTo2(cr);
    return copy;
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

bool appendBearingCopies(
    const RecordCopies &copies, bool &appended, QStringList &notes, FileError &error)
{
    appended = false;
    for (const BearingRecord *b : { &copies.bearingA, &copies.bearingB }) {
        error = FileError();
        const Result<std::optional<RecordFiles::WriteNote>> added
            = Module1::AppendBearingRecord(b->Model, b->Type, b->e, b->Y1, b->Y2, b->Cr);
        if (!added) {
            error = added.error();
            return false;
        }
        appended = appended || added->has_value();
        if (*added && (*added)->kept())
            notes.append((*added)->text());
    }
    return true;
}

} // namespace

RecordCopies recordCopies(const CalcInput &in, const OptionFlags &flags)
{
    RecordCopies copies;
    ShaftRecord &shaft = copies.shaft;
    shaft.ShaftNo = in.ShaftNo;
    shaft.P1 = in.P1;
    shaft.P2 = in.P2;
    shaft.n = in.n;
    shaft.L = in.L;
    shaft.ALFA = in.ALFA;
    shaft.GearParams = { in.L1, in.d1, in.BTA1, in.ALFA1, in.L2, in.d2, in.BTA2, in.ALFA2 };
    shaft.Flags = Module1::BitsToByte(flags);
    shaft.WeightKg = in.WeightKg;
    shaft.ModelA = in.ModelA;
    shaft.ModelB = in.ModelB;
    copies.bearingA = bearingCopy(in.ModelA, in.TypeA, in.eA, in.Y1A, in.Y2A, in.CrA);
    copies.bearingB = bearingCopy(in.ModelB, in.TypeB, in.eB, in.Y1B, in.Y2B, in.CrB);
    return copies;
}

SaveOutcome saveShaftRecord(const RecordCopies &copies, const SaveTalk &talk)
{
    SaveOutcome out;
    auto fail = [&](const FileError &error) {
        out.kind = SaveOutcome::Failed;
        out.error = error;
        talk.tell(error.text());
        return out;
    };

    // A character GBK lacks would be stored as '?': the number would then find (and replace)
    // another record, the model another bearing.
    const std::pair<const QString *, QString> keys[] = {
        { &copies.shaft.ShaftNo, QStringLiteral("编号") },
        { &copies.bearingA.Model, QStringLiteral("型号") },
        { &copies.bearingB.Model, QStringLiteral("型号") },
    };
    for (const auto &[text, what] : keys) {
        if (const QString lost = RecordLayout::charactersOutsideGbk(*text); !lost.isEmpty()) {
            talk.tell(RecordLayout::outsideGbkMessage(what, lost));
            out.kind = SaveOutcome::Refused;
            return out;
        }
    }

    // The number is looked for inside the file's lock; when it is in use the user is asked (with
    // the lock released) and the number is looked for again, since the file may have changed
    // while the question was open.
    FileError error;
    bool mayReplace = false;
    for (;;) {
        const Result<RecordFiles::StoredShaft> stored
            = RecordFiles::storeShaftRecord(RecordFiles::gearPath(), copies.shaft, mayReplace);
        if (!stored)
            return fail(stored.error());
        out.recordNo = stored->recordNo;
        const bool inUse = stored->inUse;
        const RecordFiles::WriteNote &note = stored->note;
        if (note.kept())
            out.notes.append(note.text());
        if (!inUse || mayReplace) {
            out.replaced = inUse;
            break;
        }
        if (!talk.ask(replaceQuestion(copies.shaft.ShaftNo))) {
            out.kind = SaveOutcome::Declined;
            return out;
        }
        mayReplace = true;
    }

    if (!appendBearingCopies(copies, out.bearingAppended, out.notes, error))
        return fail(error);

    out.kind = SaveOutcome::Saved;
    QString closing = savedMessage(out.bearingAppended);
    for (const QString &note : std::as_const(out.notes))
        closing += u'\n' + note;
    talk.tell(closing);
    return out;
}

SaveOutcome SaveParameters(const MainInputs &window, CalcInput &input, OptionFlags &flags,
    RecordCopies &copies, const SaveTalk &talk)
{
    if (const Fault fault = GatherInputs(window, input, flags); fault != Fault::None) {
        // Told as the compute command tells it; nothing has been opened or written.
        if (const QString text = faultText(fault); !text.isEmpty())
            talk.tell(text);
        SaveOutcome out;
        out.kind = SaveOutcome::ConversionFault;
        return out;
    }
    copies = recordCopies(input, flags);
    return saveShaftRecord(copies, talk);
}
