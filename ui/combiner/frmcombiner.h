#pragma once

// The record combiner window "合并记录": choose another record file and merge its bearings into
// this installation's bearing.sav (Combiner::mergeBearingFiles). Closing the window deletes it;
// the next opening starts afresh.

#include <QWidget>

class Prompter;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmCombiner : public QWidget
{
    Q_OBJECT
public:
    // prompter shows the open dialog and failure messages; it must outlive the window.
    explicit frmCombiner(Prompter &prompter, QWidget *parent = nullptr);

public slots:
    void ChooseSourceFile();
    void MergeRecords();

private:
    void CombinerLoad();

    Prompter &m_prompter;
    QString m_sourcePath; // CombineSourcePath: set only through the dialog
    QString m_targetPath; // CombineTargetPath: always bearing.sav

    QGroupBox *Frame1;
    QLabel *Label1_0;
    QLineEdit *txtResource;
    QPushButton *cmdOpenFile;
    QLabel *Label1_1;
    QLineEdit *txtDestination;
    QLabel *lblView;
    QPushButton *cmdStart;
    QPushButton *cmdExit;
};
