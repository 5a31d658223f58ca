#pragma once

// frmView, the record browser: the shaft-system records of gear.sav (lstGear) or the bearings of
// bearing.sav (lstBearing) as fixed-width lines under their headings, a bore filter for the
// bearings, and a right-click pop-up (mnuInput) that copies the selected line into the main window
// through MainWindowLink. The browser reads the record files and never writes them.
//
// The main window keeps one frmView and calls showAndLoad() for its 查找 button and menu entry:
// the first showing loads the window (shaft-system view, gear.sav freshly read); later showings
// bring it back as cmdExit left it, without re-reading. The close box unloads it: the next
// showAndLoad() loads it afresh.

#include <QPointer>
#include <QWidget>

#include <array>
#include <optional>

class RecordLineModel;
class MainWindowLink;
class Prompter;
class QAction;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QVBoxLayout;
class QWindow;
class RecordListView;

class frmView : public QWidget
{
    Q_OBJECT

public:
    // Errors reading a record file are shown through prompter (the list then stays empty).
    frmView(MainWindowLink &link, Prompter &prompter, QWidget *parent = nullptr);

    // Loads the window when it is not loaded, then shows it and brings it to the front.
    void showAndLoad();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildLists(QVBoxLayout *outer); // headings over lstGear and lstBearing
    QHBoxLayout *buildChoiceRow(); // the options, the key box and the buttons along the bottom
    void buildInputMenu(); // mnuInput, shown only as a pop-up
    void load();
    // Caption, visible list, filter controls and headings of view i (1 shaft systems, 0
    // bearings), as the option handler sets them, without filling the list.
    void setView(int i);
    void switchView(int i); // optParameter(i) chosen
    void FillGearList();
    void FillBearingList();
    // The bearings of bearing.sav into lstBearing: all of them, or only those of a bore.
    void fillBearings(std::optional<int> bore);
    void filterBearings(); // cmdSelect, or Enter in txtDia
    void showInputMenu(RecordListView *list, const QPoint &globalPos);
    void inputShaft();
    void inputBearing(QChar side);
    void focusWindowChanged(QWindow *window);

    MainWindowLink &m_link;
    Prompter &m_prompter;
    bool m_loaded = false;
    QPointer<QWindow> m_lastFocusWindow;

    RecordLineModel *m_gearLines = nullptr;
    RecordLineModel *m_bearingLines = nullptr;

    std::array<QRadioButton *, 2> optParameter {};
    QLabel *Label1 = nullptr;
    QLineEdit *txtDia = nullptr;
    QPushButton *cmdSelect = nullptr;
    std::array<QLabel *, 2> lblItem {};
    RecordListView *lstBearing = nullptr;
    RecordListView *lstGear = nullptr;
    QPushButton *cmdExit = nullptr;
    QMenu *mnuInput = nullptr;
    QAction *mnuInputShaft = nullptr;
    QAction *mnuSpace1 = nullptr;
    QAction *mnuInputBearingA = nullptr;
    QAction *mnuInputBearingB = nullptr;
};
