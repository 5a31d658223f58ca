#pragma once

// The program's windows and how they meet: the main window, and the record browser, the bearing
// data manager and the record merger opened from it as ordinary windows, one copy each. The
// schematic is redrawn on every activation of the main window; closing the main window closes the
// others without asking.

#include "ui/main/frmmain.h"
#include "ui/main/singleinstance.h"

#include <QObject>
#include <QPointer>

#include <memory>

class Prompter;
class QTranslator;
class frmCombiner;
class frmEditer;
class frmView;

class ProgramWindows : public QObject
{
    Q_OBJECT

public:
    explicit ProgramWindows(Prompter &prompter);
    ~ProgramWindows() override;

    frmMain &main() { return m_main; }

    // Each window opens wholly on the screen: the main window centred on it, the others centred
    // over the main window where there is room.
    void showMain();
    void showView();
    void showEditer();
    void showCombiner();

private:
    void unload();

    Prompter &m_prompter;
    frmMain m_main;
    QPointer<frmView> m_view;
    QPointer<frmEditer> m_editer;
    QPointer<frmCombiner> m_combiner;
};

// The start-up once the application object exists: Qt's own texts into qtTexts (installed when
// found), then the single-copy rule (a second copy says so and ends before any window opens), then
// the main window, centred on the screen. Null when the program is to end at once.
std::unique_ptr<ProgramWindows> startProgram(Prompter &prompter, QTranslator &qtTexts,
    const QString &lockPath = SingleInstanceGuard::defaultLockPath());
