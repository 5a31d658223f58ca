// Printing the window: white without buttons while asking and printing, every colour and button
// back afterwards whatever the answer, a PDF file instead when there is no printer.

#include "ui/main/windowprinter.h"

#include "support/scriptedprompter.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// Runs a check while a message box or the save dialog would be shown.
class WatchingPrompter : public ScriptedPrompter
{
public:
    std::function<void()> whileAsking;
    std::function<void()> whileSaving;

    int message(const QString &text, const QString &title, int buttons, Icon icon,
        int defaultButton) override
    {
        if (whileAsking && title == QStringLiteral("Tolvenar") && buttons == (Ok | Cancel))
            whileAsking();
        return ScriptedPrompter::message(text, title, buttons, icon, defaultButton);
    }
    QString saveFileName(
        const QString &caption, const QString &directory, const QString &filter) override
    {
        if (whileSaving)
            whileSaving();
        return ScriptedPrompter::saveFileName(caption, directory, filter);
    }
};

// Counts the controls that receive the focus.
class FocusCounter : public QObject
{
public:
    int focusIns = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        focusIns += event->type() == QEvent::FocusIn;
        return false;
    }
};

const QColor InputColour(192, 255, 192);
const QColor KeyColour(192, 255, 255);
const QColor FormColour(212, 208, 200);

// A small form coloured the way the main window is: a form colour, input boxes with their own
// palette, a key box coloured by a style sheet, a disabled box, a frame with a label and an
// option, a combo box, a drawing area and command buttons, one of them hidden from the start.
struct Form
{
    QWidget window;
    QLineEdit *input = new QLineEdit(&window);
    QLineEdit *key = new QLineEdit(&window);
    QLineEdit *disabled = new QLineEdit(&window);
    QGroupBox *frame = new QGroupBox(QStringLiteral("参  数"), &window);
    QLabel *label = new QLabel(QStringLiteral("转速(n)"), frame);
    QRadioButton *option = new QRadioButton(QStringLiteral("左"), frame);
    QComboBox *combo = new QComboBox(&window);
    QLabel *picA = new QLabel(&window);
    QPushButton *compute = new QPushButton(QStringLiteral("计  算"), &window);
    QPushButton *exit = new QPushButton(QStringLiteral("退 出>>"), &window);
    QPushButton *hiddenButton = new QPushButton(QStringLiteral("hidden"), &window);
    QList<QColor> pictureBackgrounds; // the drawing area's background at every redraw

    Form()
    {
        QPalette form = window.palette();
        form.setColor(QPalette::Window, FormColour);
        window.setPalette(form);
        window.resize(400, 300);
        QPalette input = this->input->palette();
        input.setColor(QPalette::Base, InputColour);
        this->input->setPalette(input);
        this->input->setGeometry(10, 10, 150, 24);
        key->setStyleSheet(QStringLiteral("background-color: rgb(192,255,255);"));
        key->setGeometry(10, 40, 150, 24);
        disabled->setEnabled(false);
        disabled->setGeometry(10, 70, 150, 24);
        frame->setGeometry(10, 100, 180, 90);
        label->setGeometry(10, 20, 80, 20);
        option->setGeometry(10, 50, 80, 20);
        combo->addItem(QStringLiteral("调心滚子轴承"));
        combo->setGeometry(200, 10, 150, 24);
        picA->setGeometry(200, 100, 150, 90);
        compute->setGeometry(200, 200, 80, 30);
        exit->setGeometry(290, 200, 80, 30);
        hiddenButton->setGeometry(10, 200, 80, 30);
        hiddenButton->hide();
        window.show();
    }

    WindowPrintOptions options(std::optional<QPrinterInfo> printer = QPrinterInfo())
    {
        WindowPrintOptions o;
        o.redrawPicture
            = [this] { pictureBackgrounds.append(picA->palette().color(QPalette::Window)); };
        o.printer = printer;
        return o;
    }

    QList<QWidget *> all() const
    {
        QList<QWidget *> widgets = window.findChildren<QWidget *>();
        widgets.prepend(const_cast<QWidget *>(&window));
        return widgets;
    }
};

struct Look
{
    QPalette palette;
    bool ownPalette;
    QString styleSheet;
    bool hidden;
    bool enabled;
};

QList<Look> looks(const Form &form)
{
    QList<Look> out;
    for (QWidget *w : form.all())
        out.append({ w->palette(), w->testAttribute(Qt::WA_SetPalette), w->styleSheet(),
            w->isHidden(), w->isEnabled() });
    return out;
}

// Colour inside a box, away from its border and text.
QColor inside(const QImage &image, const QWidget *w)
{
    const QPoint p = w->mapTo(w->window(), QPoint(w->width() - 6, w->height() / 2));
    return image.pixelColor(p);
}

void verifyRestored(const Form &form, const QList<Look> &before, const QImage &imageBefore)
{
    const QList<Look> after = looks(form);
    QCOMPARE(after.size(), before.size());
    const QList<QWidget *> widgets = form.all();
    for (int i = 0; i < after.size(); ++i) {
        const QByteArray what = widgets.at(i)->metaObject()->className();
        QVERIFY2(after[i].palette == before[i].palette, what);
        QVERIFY2(after[i].ownPalette == before[i].ownPalette, what);
        QVERIFY2(after[i].styleSheet == before[i].styleSheet, what);
        QVERIFY2(after[i].hidden == before[i].hidden, what);
        QVERIFY2(after[i].enabled == before[i].enabled, what);
    }
    QCOMPARE(windowImage(const_cast<QWidget *>(&form.window)), imageBefore);
}

} // namespace

class TestWindowPrinter : public QObject
{
    Q_OBJECT

private slots:
    void whiteWithoutButtonsWhileAsking()
    {
        Form form;
        WatchingPrompter prompter;
        bool checked = false;
        prompter.whileAsking = [&] {
            checked = true;
            const QImage image = windowImage(&form.window);
            QCOMPARE(image.pixelColor(2, 2), QColor(Qt::white));
            QCOMPARE(inside(image, form.input), QColor(Qt::white));
            QCOMPARE(inside(image, form.key), QColor(Qt::white));
            QCOMPARE(inside(image, form.disabled), QColor(Qt::white));
            QVERIFY(form.compute->isHidden());
            QVERIFY(form.exit->isHidden());
            QCOMPARE(inside(image, form.compute), QColor(Qt::white));
            QVERIFY(!form.disabled->isEnabled());
        };
        prompter.answers = { Prompter::Cancel };
        QVERIFY(!printWindow(&form.window, prompter, form.options()));
        QVERIFY(checked);
    }

    void answersRestoreEverything_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("pdfChosen");
        QTest::addColumn<bool>("printed");
        QTest::newRow("Cancel: nothing printed") << int(Prompter::Cancel) << false << false;
        QTest::newRow("OK, no printer, PDF dialog cancelled")
            << int(Prompter::Ok) << false << false;
        QTest::newRow("OK, no printer, saved as PDF") << int(Prompter::Ok) << true << true;
    }

    void answersRestoreEverything()
    {
        QFETCH(int, answer);
        QFETCH(bool, pdfChosen);
        QFETCH(bool, printed);
        Form form;
        const QList<Look> before = looks(form);
        const QImage imageBefore = windowImage(&form.window);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));

        WatchingPrompter prompter;
        prompter.answers = { answer };
        if (pdfChosen)
            prompter.savePaths = { pdf };
        QImage page;
        prompter.whileSaving = [&] { page = windowImage(&form.window); };
        QCOMPARE(printWindow(&form.window, prompter, form.options()), printed);

        QCOMPARE(prompter.texts(), QStringList { QStringLiteral("确定要打印当前窗口?") });
        QCOMPARE(prompter.shown.at(0).icon, Prompter::Icon::Information);
        QCOMPARE(prompter.dialogs.size(), answer == Prompter::Ok ? 1 : 0);
        QCOMPARE(QFile::exists(pdf), printed);
        if (printed) {
            QFile file(pdf);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY(file.read(5) == "%PDF-");
        }
        // Drawing area redrawn on white, then on its own colour again.
        QCOMPARE(form.pictureBackgrounds, (QList<QColor> { Qt::white, FormColour }));
        if (answer == Prompter::Ok) // the page: white, without buttons
            QCOMPARE(inside(page, form.compute), QColor(Qt::white));
        verifyRestored(form, before, imageBefore);
        QVERIFY(form.hiddenButton->isHidden());
        QVERIFY(!form.compute->isHidden());
    }

    void failureIsReportedAndStillRestores()
    {
        Form form;
        const QList<Look> before = looks(form);
        const QImage imageBefore = windowImage(&form.window);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("no such folder/page.pdf"));
        WatchingPrompter prompter;
        prompter.answers = { Prompter::Ok };
        prompter.savePaths = { pdf };
        QVERIFY(!printWindow(&form.window, prompter, form.options()));

        QCOMPARE(prompter.shown.size(), 2);
        QCOMPARE(prompter.shown.at(1).title, QStringLiteral("Tolvenar"));
        QCOMPARE(prompter.shown.at(1).buttons, int(Prompter::Ok));
        QCOMPARE(prompter.shown.at(1).icon, Prompter::Icon::Information);
        QVERIFY2(prompter.shown.at(1).text.startsWith(pdf), qPrintable(prompter.shown.at(1).text));
        verifyRestored(form, before, imageBefore);
    }

    void focusedButtonKeepsTheFocusAndNoOtherControlGetsIt()
    {
        Form form;
        QApplication::setActiveWindow(&form.window);
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.compute->setFocus();
        QCOMPARE(QApplication::focusWidget(), form.compute);
        FocusCounter counter;
        for (QWidget *w : form.all())
            w->installEventFilter(&counter);

        WatchingPrompter prompter;
        prompter.answers = { Prompter::Cancel };
        printWindow(&form.window, prompter, form.options());
        QCOMPARE(counter.focusIns, 1); // only the button, when it gets the focus back
        QCOMPARE(QApplication::focusWidget(), form.compute);
    }

    void menusAndOtherWindowsAreLeftAlone()
    {
        QMainWindow main;
        auto *central = new QWidget(&main);
        auto *button = new QPushButton(QStringLiteral("计  算"), central);
        button->setGeometry(10, 10, 80, 30);
        main.setCentralWidget(central);
        QMenu *menu = main.menuBar()->addMenu(QStringLiteral("工 具(&T)"));
        menu->addAction(QStringLiteral("打印窗口"));
        auto *secondary = new QWidget(&main, Qt::Window);
        auto *otherButton = new QPushButton(QStringLiteral("开 始"), secondary);
        main.resize(300, 200);
        main.show();
        secondary->show();
        const QPalette menuBarPalette = main.menuBar()->palette();
        const QPalette secondaryPalette = secondary->palette();

        WatchingPrompter prompter;
        prompter.whileAsking = [&] {
            QVERIFY(button->isHidden());
            QVERIFY(!otherButton->isHidden());
            QCOMPARE(main.menuBar()->palette(), menuBarPalette);
            QCOMPARE(secondary->palette(), secondaryPalette);
            // The page is the client area: the menu bar is not on it.
            QCOMPARE(windowImage(&main).size(), central->grab().size());
        };
        prompter.answers = { Prompter::Cancel };
        printWindow(&main, prompter);
        QVERIFY(!button->isHidden());
    }
};

QTEST_MAIN(TestWindowPrinter)
#include "tst_windowprinter.moc"
