// Help: the program's own pages in one help window when there is no compiled help to open; every
// page loads and its links and pictures resolve.

#include "ui/main/helpwindow.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>

namespace {

QString pageText(const QString &page)
{
    QFile f(QStringLiteral(":/help/") + page);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

void closeHelp()
{
    if (HelpWindow *w = HelpWindow::current())
        w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int helpWindowCount()
{
    int count = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        count += qobject_cast<HelpWindow *>(w) && w->isVisible();
    return count;
}

} // namespace

class TestHelpWindow : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { closeHelp(); }

    void withoutCompiledHelpOneHelpWindowIsShown()
    {
        const QString missing = QStringLiteral("/nonexistent-folder-of-tolvenar/help.chm");
        showHelp(nullptr, missing);
        HelpWindow *first = HelpWindow::current();
        QVERIFY(first);
        QVERIFY(first->isVisible());
        QCOMPARE(first->browser()->source(), HelpWindow::HomePage);
        QVERIFY(first->browser()->toPlainText().contains(QStringLiteral("Tolvenar 帮助")));

        showHelp(nullptr, missing);
        QCOMPARE(HelpWindow::current(), first);
        QCOMPARE(helpWindowCount(), 1);
    }

    void helpWindowBelongsToTheWindowThatAskedForIt()
    {
        auto *main = new QWidget;
        showHelp(main, QString());
        QPointer<HelpWindow> help = HelpWindow::current();
        QVERIFY(help);
        QCOMPARE(help->parentWidget(), main);
        QVERIFY(help->isWindow());
        delete main;
        QVERIFY(!help);
        QVERIFY(!HelpWindow::current());
    }

    void pagesLoadWithTheirLinksAndPictures_data()
    {
        QTest::addColumn<QString>("page");
        const QStringList pages
            = QDir(QStringLiteral(":/help")).entryList({ QStringLiteral("*.html") });
        QVERIFY(pages.size() >= 5);
        for (const QString &page : pages)
            QTest::newRow(qPrintable(page)) << page;
    }

    void pagesLoadWithTheirLinksAndPictures()
    {
        QFETCH(QString, page);
        HelpBrowser browser;
        browser.setSource(QUrl(QStringLiteral("qrc:/help/") + page));
        QVERIFY(!browser.documentTitle().isEmpty());
        QVERIFY(!browser.toPlainText().trimmed().isEmpty());

        const QString html = pageText(page);
        static const QRegularExpression reference(QStringLiteral("(href|src)=\"([^\"#:]+)\""));
        for (auto it = reference.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            const QString target = m.captured(2);
            if (m.captured(1) == QStringLiteral("src")) {
                const QVariant image
                    = browser.loadResource(QTextDocument::ImageResource, QUrl(target));
                QVERIFY2(!image.value<QImage>().isNull(), qPrintable(target));
            } else {
                QVERIFY2(QFile::exists(QStringLiteral(":/help/") + target), qPrintable(target));
            }
        }
    }

    void schematicPictureIsDrawnForThePages()
    {
        HelpBrowser browser;
        const QImage image
            = browser.loadResource(QTextDocument::ImageResource, QUrl(HelpBrowser::SchematicImage))
                  .value<QImage>();
        QCOMPARE(image.size(), QSize(390, 280));
        // Shaft axis at y = (1200 - 0) / 10, between the supports.
        bool ink = false;
        for (int y = 119; y <= 121; ++y)
            ink = ink || image.pixelColor(200, y) == QColor(Qt::black);
        QVERIFY(ink);
    }
};

QTEST_MAIN(TestHelpWindow)
#include "tst_helpwindow.moc"
