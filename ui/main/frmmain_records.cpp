// frmMain's record commands: saving parameters, the two report files and the recalls by key,
// plus the copies the record browser makes into the window.

#include "reports/detaileddata.h"
#include "reports/resultreport.h"
#include "ui/common/prompter.h"
#include "ui/common/reportdialog.h"
#include "ui/common/widgetprompter.h"
#include "ui/main/frmmain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>

void frmMain::recallKey(int which)
{
    switch (which) {
    case ShaftNumberKey:
        recallShaft();
        break;
    case ModelAKey:
        recallBearingA();
        break;
    case ModelBKey:
        recallBearingB();
        break;
    default:
        break;
    }
}

void frmMain::saveParameters()
{
    const SaveOutcome outcome
        = SaveParameters(inputs(), m_input, m_flags, m_copies, saveTalk(m_prompter));
    if (outcome.kind == SaveOutcome::Declined) {
        // The number is in use and is not to be replaced: select it for retyping.
        txtParameter[0]->setFocus(Qt::OtherFocusReason);
        txtParameter[0]->home(false);
        txtParameter[0]->end(true);
    }
}

void frmMain::saveResultReport()
{
    const QString date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
    const QString number = txtParameter[0]->text();
    ReportDialog::save(m_prompter, m_dlgBLC, number, [&](const QString &path) {
        return ::writeResultReport(path, m_input, m_result, number, date);
    });
}

void frmMain::writeDetailedData()
{
    const QString number = txtParameter[0]->text();
    const bool assembleA = optAssembleA->isChecked(), assembleB = optAssembleB->isChecked();
    ReportDialog::save(m_prompter, m_dlgBLC, m_dlgBLC, [&](const QString &path) {
        return ::writeDetailedData(path, m_input, m_result, number, assembleA, assembleB);
    });
}

void frmMain::recallShaft()
{
    Recall::Plan plan;
    FileError error;
    if (Recall::planShaftRecall(txtParameter[0]->text(), plan, &error)) {
        cmdClear_Click();
        applyPlan(plan);
    }
    if (error.failed())
        m_prompter.inform(error.text());
}

void frmMain::recallBearingA()
{
    Recall::Plan plan;
    FileError error;
    if (Recall::planBearingRecall(Recall::Side::A, txtBearingA[0]->text(), plan, &error))
        applyPlan(plan);
    if (error.failed())
        m_prompter.inform(error.text());
}

void frmMain::recallBearingB()
{
    Recall::Plan plan;
    FileError error;
    const std::array<QString, 4> factorsA = { txtBearingA[1]->text(), txtBearingA[2]->text(),
        txtBearingA[3]->text(), txtBearingA[4]->text() };
    if (Recall::planBearingBRecall(
            txtBearingA[0]->text(), txtBearingB[0]->text(), factorsA, plan, &error))
        applyPlan(plan);
    if (error.failed())
        m_prompter.inform(error.text());
}

void frmMain::applyPlan(const Recall::Plan &plan)
{
    for (const Recall::Assignment &a : plan) {
        QWidget *target = control(a.field);
        switch (a.kind) {
        case Recall::Assignment::Text:
            if (auto *box = qobject_cast<QLineEdit *>(target))
                box->setText(a.text);
            break;
        case Recall::Assignment::Option:
        case Recall::Assignment::Check:
            if (auto *button = qobject_cast<QAbstractButton *>(target))
                button->setChecked(a.value != 0);
            break;
        case Recall::Assignment::Combo:
            // The type rule runs when the selection changes, as for a choice by the user.
            if (auto *combo = qobject_cast<QComboBox *>(target))
                combo->setCurrentIndex(a.value);
            break;
        case Recall::Assignment::CaretToEnd:
            if (auto *box = qobject_cast<QLineEdit *>(target))
                box->end(false);
            break;
        }
    }
}

void frmMain::recallShaftNumber(const QString &number)
{
    txtParameter[0]->setText(number);
    txtParameter[0]->setFocus(Qt::OtherFocusReason);
    recallShaft();
}

void frmMain::copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
    const QString &y2, const QString &cr, int type)
{
    const bool a = side == u'A';
    const auto &boxes = a ? txtBearingA : txtBearingB;
    const QString texts[] = { model, e, y1, y2, cr };
    for (int i = 0; i < 5; ++i)
        boxes[static_cast<std::size_t>(i)]->setText(texts[i]);
    if (type >= 0 && type <= 4)
        (a ? cboTypeA : cboTypeB)->setCurrentIndex(type); // last, so the type rule runs
}
