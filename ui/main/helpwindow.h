#pragma once

// Help for F1 and the help menu entry. When help.chm lies in the application directory and the
// desktop has a viewer for it, that file is opened; otherwise the program's own help pages (built
// into the executable) are shown in a help window, of which there is at most one.

#include <QTextBrowser>
#include <QWidget>

class QPushButton;

// The path of the compiled help file: <application directory>/help.chm.
QString defaultHelpFile();

// Shows help: helpFile through the desktop when it exists and can be opened, else the help window
// (created on first use as a window of parent, brought to the front afterwards).
void showHelp(QWidget *parent, const QString &helpFile = defaultHelpFile());

// The help pages; the schematic picture of the pages is drawn when a page asks for it.
class HelpBrowser : public QTextBrowser
{
    Q_OBJECT
public:
    // The image name the pages use for the schematic picture.
    static const QString SchematicImage;

    explicit HelpBrowser(QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;
};

class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    // The first page shown.
    static const QUrl HomePage;

    explicit HelpWindow(QWidget *parent = nullptr);
    HelpBrowser *browser() const { return m_browser; }

    // The window shown by showHelp, or null when none is open.
    static HelpWindow *current();

private:
    HelpBrowser *m_browser;
    QPushButton *m_home;
    QPushButton *m_back;
    QPushButton *m_forward;
};
