#include "records/saveparameters.h"

#include "calc/prompter.h"

#include <QList>

#include <utility>

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

bool AppendBearingCopies(
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

SaveOutcome SaveShaftRecord(const RecordCopies &copies, Prompter &prompter)
{
    SaveOutcome out;
    auto fail = [&](const FileError &error) {
        out.kind = SaveOutcome::Failed;
        out.error = error;
        prompter.inform(error.text());
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
            prompter.inform(RecordLayout::outsideGbkMessage(what, lost));
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
        const int answer
            = prompter.message(replaceQuestion(copies.shaft.ShaftNo), QStringLiteral("Tolvenar"),
                Prompter::Yes | Prompter::No, Prompter::Icon::Information, Prompter::Yes);
        if (answer != Prompter::Yes) {
            out.kind = SaveOutcome::Declined;
            return out;
        }
        mayReplace = true;
    }

    if (!AppendBearingCopies(copies, out.bearingAppended, out.notes, error))
        return fail(error);

    out.kind = SaveOutcome::Saved;
    QString closing = savedMessage(out.bearingAppended);
    for (const QString &note : std::as_const(out.notes))
        closing += u'\n' + note;
    prompter.inform(closing);
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
