#include "ui/common/widgetprompter.h"

#include "records/saveparameters.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonKind
{
    int ours;
    QMessageBox::StandardButton theirs;
    const char16_t *caption; // the program speaks Chinese whatever translations are installed
};

constexpr ButtonKind ButtonMap[] = {
    { Prompter::Ok, QMessageBox::Ok, u"确定" },
    { Prompter::Yes, QMessageBox::Yes, u"是(&Y)" },
    { Prompter::No, QMessageBox::No, u"否(&N)" },
    { Prompter::Cancel, QMessageBox::Cancel, u"取消" },
};

QMessageBox::Icon boxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Question:
        return QMessageBox::Question;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

WidgetPrompter::WidgetPrompter(QWidget *parent)
    : m_parent(parent)
{
}

QWidget *WidgetPrompter::dialogParent() const
{
    return m_parent ? m_parent : QApplication::activeWindow();
}

int WidgetPrompter::message(
    const QString &text, const QString &title, int buttons, Icon icon, int defaultButton)
{
    QMessageBox box(dialogParent());
    box.setIcon(boxIcon(icon));
    box.setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
    box.setText(text);
    if (buttons == 0)
        buttons = Ok;
    for (const ButtonKind &kind : ButtonMap) {
        if (buttons & kind.ours) {
            QPushButton *button = box.addButton(kind.theirs);
            button->setText(QString::fromUtf16(kind.caption));
            if (defaultButton == kind.ours)
                box.setDefaultButton(button);
        }
    }
    box.exec();
    const QMessageBox::StandardButton pressed = box.standardButton(box.clickedButton());
    for (const ButtonKind &kind : ButtonMap) {
        if (pressed == kind.theirs)
            return kind.ours;
    }
    // Closed without a button (Escape with no Cancel): the answer that changes nothing.
    if (buttons & Cancel)
        return Cancel;
    if (buttons & No)
        return No;
    return Ok;
}

QString WidgetPrompter::saveFileName(
    const QString &caption, const QString &directory, const QString &filter)
{
    // Reports replace an existing file without a question.
    return QFileDialog::getSaveFileName(
        dialogParent(), caption, directory, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

QString WidgetPrompter::openFileName(
    const QString &caption, const QString &directory, const QString &filter)
{
    return QFileDialog::getOpenFileName(dialogParent(), caption, directory, filter);
}

SaveTalk saveTalk(Prompter &prompter)
{
    return { [&prompter](const QString &question) {
                return prompter.message(question, QStringLiteral("Tolvenar"),
                           Prompter::Yes | Prompter::No, Prompter::Icon::Information, Prompter::Yes)
                    == Prompter::Yes;
            },
        [&prompter](const QString &text) { prompter.inform(text); } };
}
