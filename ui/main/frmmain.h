#pragma once

// frmMain: the program's input form. It holds every input of a calculation, the type and mounting
// rules, the rule that withdraws stale results, the Clear command and the compute command. It
// owns CalcInput, CalcResult and the record copies for its whole life, and runs the record
// commands (frmmain_records.cpp). Commands that open other windows are passed on as signals;
// message boxes go through the Prompter given at construction.

#include "calc/calcinput.h"
#include "calc/conversions.h"
#include "calc/gatherinputs.h"
#include "records/recall.h"
#include "records/saveparameters.h" // RecordCopies
#include "ui/browser/mainwindowlink.h"

#include <QMainWindow>

#include <array>

class Prompter;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;

class frmMain : public QMainWindow, public MainWindowLink
{
    Q_OBJECT

public:
    // The three key fields whose Enter key recalls a record.
    enum KeyField { ShaftNumberKey = 0, ModelAKey = 1, ModelBKey = 2 };

    explicit frmMain(Prompter &prompter, QWidget *parent = nullptr);
    ~frmMain() override;

    // What the calculation works on.
    const CalcInput &input() const { return m_input; }
    // The texts and choices of the form as the calculation reads them.
    MainInputs inputs() const;

    // Type and mounting rules. They run by themselves when a combo box or chkWeight changes,
    // whether the user or the program makes the change.
    void ApplyBearingTypeA();
    void ApplyBearingTypeB();
    void ApplyWeightOption();

    // The drawing area of the shaft schematic (picA).
    QWidget *drawingArea() const;

    // The record browser's copies into this window.
    void recallShaftNumber(const QString &number) override;
    void copyBearing(QChar side, const QString &model, const QString &e, const QString &y1,
        const QString &y2, const QString &cr, int type) override;

public slots:
    // 计  算: gather, validate, compute, show both lives and unlock the save commands.
    void cmdCompute_Click();
    // 保存参数: the shaft record into gear.sav, new bearing models into bearing.sav.
    void saveParameters();
    // 保存结果: the result report, through the save dialog.
    void saveResultReport();
    // 详细计算数据: the detailed calculation data file, through the save dialog.
    void writeDetailedData();
    // Enter in the key boxes: fill the window from the record files.
    void recallShaft();
    void recallBearingA();
    void recallBearingB();
    // 清  除: every input back to its starting value, results withdrawn.
    void cmdClear_Click();
    // 关于 Tolvenar: the About box (modal).
    void showAbout();

signals:
    void viewRequested(); // cmdView, mnuView
    void combinerRequested(); // mnuToolsCombiner
    void editerRequested(); // mnuToolsEditer (Ctrl+E)
    void printRequested(); // mnuToolsPrint
    void helpRequested(); // mnuExplain, F1
    // The window became the active window (the schematic is redrawn on every activation).
    void activated();
    // The window is closing; the other windows of the program should close with it.
    void unloading();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildPicture();
    void buildParameters();
    void buildAssembleAndResult();
    void buildGears();
    void buildBearing(QGroupBox *&frame, const QString &suffix, int left,
        std::array<QLineEdit *, 5> &boxes, std::array<QLabel *, 7> &labels, QComboBox *&combo);
    void buildCommandsAndWeight();
    void nameForScreenReaders();
    void buildMenus();
    void setTabOrder();
    void connectRules();
    void load();

    // Disables cmdSaveResult and, unless onlyResult, cmdSaveParameter.
    void invalidate(bool onlyResult = false);
    // Enables or disables the label and box of factor field index (1..3) of one bearing.
    void setFactorField(QLabel *label, QLineEdit *box, bool on);
    void applyFieldEnabling(
        int code, const std::array<QLabel *, 7> &labels, const std::array<QLineEdit *, 5> &boxes);
    // Selects a type as a program change: the rule runs even when the item is already selected.
    void selectType(QComboBox *combo, int code);
    // Shows the fault of a stopped computation; true when the command must end.
    bool reportFault(Fault fault);
    // The control that shows a field of the form.
    QWidget *control(MainField field) const;
    void setSaveCommandsEnabled(bool enabled);
    // Upper-cases a key field that the focus left for another control of the form.
    void upperCaseOnLeaving(QWidget *old, QWidget *now);
    // Puts the focus on the control a refused computation names, editing nothing.
    void focusConcernedField(MainField field);
    // Makes the assignments of a recall one after another, each as an ordinary edit.
    void applyPlan(const Recall::Plan &plan);
    void recallKey(int which); // frmmain_records.cpp

    Prompter &m_prompter;
    CalcInput m_input;
    CalcResult m_result;
    OptionFlags m_flags {};
    RecordCopies m_copies;
    bool m_placingFocus = false; // the program, not the user, is moving the focus
    QString m_dlgBLC; // the file name the report dialogs propose, kept between uses

    QWidget *m_client = nullptr;
    QGroupBox *fraPicture = nullptr, *fraParameter = nullptr, *fraAssemble = nullptr,
              *fraResult = nullptr, *fraGear = nullptr, *fraBearingA = nullptr,
              *fraBearingB = nullptr;
    std::array<QGroupBox *, 2> Frame1 {};
    QLabel *picA = nullptr;

    std::array<QLineEdit *, 5> txtParameter {};
    std::array<QLabel *, 11> lblParameter {}; // no members 3 and 8
    std::array<QLineEdit *, 8> txtGear {};
    std::array<QLabel *, 8> lblGear {};
    std::array<QRadioButton *, 2> optGear1 {}, optGear2 {};
    std::array<QLineEdit *, 5> txtBearingA {}, txtBearingB {};
    std::array<QLabel *, 7> lblBearingA {}, lblBearingB {}; // no member 5
    QComboBox *cboTypeA = nullptr, *cboTypeB = nullptr;
    QRadioButton *optAssembleA = nullptr, *optAssembleB = nullptr;
    QLabel *lblResultA = nullptr, *lblResultB = nullptr;
    QCheckBox *chkWeight = nullptr;
    QLineEdit *txtWeight = nullptr;
    QPushButton *cmdView = nullptr, *cmdCompute = nullptr, *cmdSaveResult = nullptr,
                *cmdSaveParameter = nullptr, *cmdClear = nullptr, *cmdExit = nullptr;

    QMenu *MnuOperation = nullptr, *mnuTools = nullptr, *mnuHelp = nullptr;
    QAction *mnuView = nullptr, *mnuCompute = nullptr, *mnuSaveResult = nullptr,
            *mnuSaveParameter = nullptr, *mnuClear = nullptr, *mnuSpace1 = nullptr,
            *mnuExit = nullptr, *mnuToolsCombiner = nullptr, *mnuToolsEditer = nullptr,
            *mnuToolsPrint = nullptr, *mnuExplain = nullptr, *mnuSpace2 = nullptr, *Test = nullptr;
};
