#pragma once

// frmEditer, the bearing data manager: lists the catalogue bearing.sav as EditerLines, lets the
// user add a bearing or edit the chosen one, and after every change sorts the catalogue and
// rewrites bearing.sav from the list (BearingCatalogue does the work; the window only displays).
//
// States: Browsing (boxes locked; 更新 only sorts and rewrites), Adding (after 增加: boxes emptied
// and open) and Editing (after 编辑: boxes open, showing the chosen line). Refused input returns
// the focus to the offending box without a message; file failures are reported through the
// Prompter. The list is reloaded from bearing.sav on every activation of the window.

#include "calc/prompter.h"
#include "records/recordfile.h"
#include "ui/bearings/catalogue.h"

#include <QWidget>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;

class frmEditer : public QWidget
{
    Q_OBJECT

public:
    explicit frmEditer(Prompter &prompter, QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void LoadEditerList();
    // Sorts the given lines and rewrites bearing.sav from them; on success they become the list.
    // On failure the user is told, and the list and the file stay as they were.
    bool SortAndRewrite(QStringList lines);
    void chooseLine(int row);
    void startAdding();
    void startEditing();
    void applyUpdate();
    void dumpList();
    void refuse(QWidget *box, bool selectText);
    void setBoxesEnabled(bool enabled);
    void resetToBrowsing();
    int findModel(const QStringList &lines, const QString &model) const;

    Prompter &m_prompter;

    QLabel *lblItem = nullptr;
    QListView *lstBearing = nullptr;
    QStringListModel *m_lines = nullptr;
    QFrame *fraBearing = nullptr;
    QFrame *Frame1 = nullptr;
    std::array<QLabel *, 6> lblBearing {};
    QComboBox *cboBearing = nullptr;
    std::array<QLineEdit *, 5> txtBearing {};
    std::array<QLabel *, 3> lblParameter {};
    std::array<QLineEdit *, 3> txtParameter {};
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdUpdate = nullptr;

    bool IsAdding = false;
    int EditIndex = -1;
    QString m_editModel; // model of the line at EditIndex when the edit began
    BearingCatalogue::Catalogue m_read; // bearing.sav as the list was read from it
    QString m_loadFailure; // why it could not be read at all, for the message
};
