#pragma once

// frmEditer, the bearing data manager: lists the catalogue bearing.sav as EditerLines, lets the
// user add a bearing or edit the chosen one, and after every change sorts the catalogue and
// rewrites bearing.sav from the list (BearingCatalogue does the work; the window only displays).
//
// States: Browsing (boxes locked; 更新 only sorts and rewrites), Adding (after 增加: boxes emptied
// and open) and Editing (after 编辑: boxes open, showing the chosen line). Refused input returns
// the focus to the offending box without a message; file failures are reported through the
// Prompter. The list is read from bearing.sav when the window opens and reloaded when the user
// returns to it from another window of the program (where bearing.sav may have changed); a
// return from another program or from a message box keeps it. A reload keeps the chosen line.

#include "catalogue/catalogue.h"
#include "records/recordfile.h"
#include "ui/common/prompter.h"

#include <QWidget>

#include <array>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QWindow;

class frmEditer : public QWidget
{
    Q_OBJECT

public:
    explicit frmEditer(Prompter &prompter, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildList(); // lblItem, lstBearing
    void buildBearingFrame(); // fraBearing: model, type and factor rows
    void buildDimensionFrame(); // Frame1: d, D, B
    void buildButtons();
    void focusWindowChanged(QWindow *window);
    // Reloads the list, keeping the chosen line (or the line being edited) when it is still there.
    void reload();
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

    Prompter &m_prompter;

    QLabel *lblItem = nullptr;
    QListView *lstBearing = nullptr;
    CatalogueModel *m_lines = nullptr;
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
    bool m_loaded = false; // the list has been read since the window opened
    bool m_reselecting = false; // a reload selects the chosen line again: nothing to show
    // The kind of window that had the focus last: none (another program), a pop-up, menu or
    // dialog, or another window of the program.
    enum class LastFocus { None, Transient, ProgramWindow } m_lastFocus = LastFocus::None;
    BearingCatalogue::Catalogue m_read; // bearing.sav as the list was read from it
    QString m_loadFailure; // why it could not be read at all, for the message
};
