#include "ui/main/programwindows.h"

#include "ui/bearings/frmediter.h"
#include "ui/browser/frmview.h"
#include "ui/combiner/frmcombiner.h"
#include "ui/common/windowlayer.h"
#include "ui/main/helpwindow.h"
#include "ui/main/qttranslation.h"
#include "ui/main/schematic.h"
#include "ui/main/windowprinter.h"

#include <QApplication>
#include <QLabel>
#include <QTranslator>

ProgramWindows::ProgramWindows(Prompter &prompter)
    : m_prompter(prompter)
    , m_main(prompter)
{
    auto *picA = qobject_cast<QLabel *>(m_main.drawingArea());
    connect(&m_main, &frmMain::activated, this, [picA] {
        if (picA)
            redrawSchematic(picA);
    });
    connect(&m_main, &frmMain::viewRequested, this, &ProgramWindows::showView);
    connect(&m_main, &frmMain::editerRequested, this, &ProgramWindows::showEditer);
    connect(&m_main, &frmMain::combinerRequested, this, &ProgramWindows::showCombiner);
    connect(&m_main, &frmMain::helpRequested, this, [this] {
        const bool open = HelpWindow::current() && HelpWindow::current()->isVisible();
        showHelp(&m_main);
        if (!open && HelpWindow::current())
            WindowLayer::placeWindow(HelpWindow::current(), &m_main);
    });
    connect(&m_main, &frmMain::printRequested, this, [this, picA] {
        WindowPrintOptions options;
        options.redrawPicture = [picA] {
            if (picA)
                redrawSchematic(picA);
        };
        options.documentName = m_main.inputs().parameter[0];
        printWindow(&m_main, m_prompter, options);
    });
    connect(&m_main, &frmMain::unloading, this, &ProgramWindows::unload);
}

ProgramWindows::~ProgramWindows()
{
    // The secondary windows are children of the main window and go with it.
}

void ProgramWindows::showMain()
{
    if (!m_main.isVisible())
        WindowLayer::placeWindow(&m_main, nullptr); // centred on the screen
    m_main.show();
}

void ProgramWindows::showView()
{
    if (!m_view)
        m_view = new frmView(m_main, m_prompter, &m_main);
    if (!m_view->isVisible())
        WindowLayer::placeWindow(m_view, &m_main);
    m_view->showAndLoad();
}

void ProgramWindows::showEditer()
{
    if (!m_editer)
        m_editer = new frmEditer(m_prompter, &m_main);
    WindowLayer::bringToFront(m_editer, &m_main);
}

void ProgramWindows::showCombiner()
{
    if (!m_combiner)
        m_combiner = new frmCombiner(m_prompter, &m_main);
    WindowLayer::bringToFront(m_combiner, &m_main);
}

void ProgramWindows::unload()
{
    if (m_combiner)
        m_combiner->close();
    if (m_editer)
        m_editer->close();
    if (m_view)
        m_view->close();
    if (HelpWindow *help = HelpWindow::current())
        help->close();
}

std::unique_ptr<ProgramWindows> startProgram(
    Prompter &prompter, QTranslator &qtTexts, const QString &lockPath)
{
    if (loadQtTranslation(qtTexts))
        QApplication::installTranslator(&qtTexts);
    if (!acquireSingleInstance(prompter, lockPath))
        return nullptr;
    auto windows = std::make_unique<ProgramWindows>(prompter);
    windows->showMain();
    return windows;
}
