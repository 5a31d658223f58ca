#pragma once

// The Prompter of the real program: QMessageBox for messages, QFileDialog for file names.

#include "ui/common/prompter.h"

class QWidget;
struct SaveTalk;

class WidgetPrompter : public Prompter
{
public:
    // Dialogs are centred on parent, or on the active window when parent is null.
    explicit WidgetPrompter(QWidget *parent = nullptr);

    int message(const QString &text, const QString &title, int buttons = Ok,
        Icon icon = Icon::Information, int defaultButton = Ok) override;
    QString saveFileName(
        const QString &caption, const QString &directory, const QString &filter) override;
    QString openFileName(
        const QString &caption, const QString &directory, const QString &filter) override;

private:
    QWidget *dialogParent() const;

    QWidget *m_parent = nullptr;
};

// The talk of a save through a prompter: the replace question (是, 否; 是 by default; information
// icon; title "Tolvenar") and every other message in the usual failure box.
SaveTalk saveTalk(Prompter &prompter);
