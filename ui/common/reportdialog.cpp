#include "ui/common/reportdialog.h"

#include "ui/common/prompter.h"

namespace ReportDialog {

QString fileFilter()
{
    return QStringLiteral("文本文件(*.txt)");
}

bool save(Prompter &prompter, QString &dialogFileName, const QString &proposedName,
    const std::function<Result<>(const QString &path)> &write)
{
    dialogFileName = proposedName;
    const QString path = prompter.saveFileName(QString(), dialogFileName, fileFilter());
    if (path.isEmpty())
        return false; // cancelled: nothing written, nothing said
    dialogFileName = path;
    if (const Result<> written = write(path); !written) {
        prompter.inform(written.error().text());
        return false;
    }
    return true;
}

} // namespace ReportDialog
