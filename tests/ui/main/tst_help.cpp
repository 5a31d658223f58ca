// The help pages, the About box and Qt's own texts: every page reads without stray blanks and
// links only to pages that exist; the calculation page shows the worked example's values as the
// program computes them; the About box names the version, Qt, the licence and the record folder,
// and comes last in the help menu; Qt's dialogs speak the user's language, else Chinese.

#include "calc/computeloads.h"
#include "support/workedexample.h"
#include "ui/main/aboutdialog.h"
#include "ui/main/frmmain.h"
#include "ui/main/helpwindow.h"
#include "ui/main/qttranslation.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The text around a match, for a failure message.
QString around(const QString &text, const QRegularExpressionMatch &m)
{
    return text.mid(std::max<qsizetype>(0, m.capturedStart() - 12), 30);
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

    HelpWindow m_help; // its construction makes the pages available

private slots:
    void pages_data()
    {
        QTest::addColumn<QString>("page");
        const QStringList pages = QDir(u":/help"_s).entryList({ u"*.html"_s });
        QVERIFY(pages.contains(u"method.html"_s));
        for (const QString &page : pages)
            QTest::newRow(qPrintable(page)) << page;
    }
    // A line break inside Chinese text shows as a blank; Chinese punctuation carries no blank
    // beside it; every link leads to a page.
    void pages()
    {
        QFETCH(QString, page);
        const QString source = readText(u":/help/"_s + page);
        const QRegularExpressionMatch wrapped = QRegularExpression(
            u"[\\p{Han}，。；：、！？（）“”]\\n\\s*[\\p{Han}，。；：、！？（）“”]"_s)
                                                    .match(source);
        QVERIFY2(!wrapped.hasMatch(), qPrintable(around(source, wrapped)));

        m_help.browser()->setSource(QUrl(u"qrc:/help/"_s + page));
        const QString shown = m_help.browser()->toPlainText();
        const QRegularExpressionMatch blank
            = QRegularExpression(u"[，。；：、！？）”]\\h+\\S|\\S\\h+[，。；：、！？（“]"_s)
                  .match(shown);
        QVERIFY2(!blank.hasMatch(), qPrintable(around(shown, blank)));

        QRegularExpressionMatchIterator links
            = QRegularExpression(u"href=\"([^\"]+)\""_s).globalMatch(source);
        while (links.hasNext()) {
            const QString target = links.next().captured(1);
            QVERIFY2(QFile::exists(u":/help/"_s + target), qPrintable(target));
        }
    }

    // The worked example's values on the page, recomputed: each agrees to the last digit shown,
    // and every computed quantity of the worked example is on the page.
    void methodValues()
    {
        CalcResult result;
        QCOMPARE(ComputeLoads(Fixture::workedInput(), result), Fault::None);
        QRegularExpressionMatchIterator it
            = QRegularExpression(u"<span class=\"v\" title=\"(\\w+)\">([^<]*)</span>"_s)
                  .globalMatch(readText(u":/help/method.html"_s));
        QStringList seen;
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            const QString shown = m.captured(2);
            seen << m.captured(1);
            const auto field = std::find_if(std::begin(Fixture::PublishedResults),
                std::end(Fixture::PublishedResults),
                [&](const Fixture::Published &p) { return seen.last() == QLatin1String(p.name); });
            QVERIFY2(field != std::end(Fixture::PublishedResults), qPrintable(seen.last()));
            const qsizetype point = shown.indexOf(u'.');
            const double computed = result.*field->field;
            QVERIFY2(std::fabs(computed - shown.toDouble())
                    <= 0.5 * std::pow(10.0, point < 0 ? 0 : -(shown.size() - point - 1)),
                qPrintable(seen.last() + u": %1 computed"_s.arg(computed, 0, 'f', 4)));
        }
        QCOMPARE(seen.size(), qsizetype(std::size(Fixture::PublishedResults)));
    }

    // The About box, the last entry of the help menu; LICENSE, the box and the Debian copyright
    // file carry one licence text.
    void about()
    {
        Fixture::AppDirectory dir;
        ScriptedPrompter prompter;
        frmMain window(prompter);
        QStringList entries;
        for (QAction *a : window.findChild<QMenu *>(u"mnuHelp"_s)->actions())
            entries << a->objectName() + u'=' + a->text();
        QCOMPARE(entries,
            QStringList({ u"mnuExplain=帮   助     F1"_s, u"mnuSpace2="_s, u"Test=详细计算数据"_s,
                u"mnuAbout=关于 Tolvenar"_s }));

        AboutDialog box;
        QCOMPARE(box.windowTitle(), u"关于 Tolvenar"_s);
        const QString text = box.findChild<QLabel *>(u"lblAbout"_s)->text();
        for (const QString &part : QStringList { QStringLiteral("版本：" TOLVENAR_PROJECT_VERSION),
                 u"Qt 版本："_s + QString::fromLatin1(qVersion()), u"许可证：MIT"_s,
                 QDir::toNativeSeparators(dir.path()) })
            QVERIFY2(text.contains(part), qPrintable(part));

        const QString licence = readText(QStringLiteral(TOLVENAR_SOURCE_DIR "/LICENSE"));
        QVERIFY(
            licence.startsWith(u"MIT License\n\nCopyright (c) 2026 The Tolvenar developers\n"_s));
        QCOMPARE(box.findChild<QPlainTextEdit *>(u"txtLicence"_s)->toPlainText(), licence);
        // The copyright file indents the same paragraphs by one blank and marks empty lines ".".
        QString copyright = readText(QStringLiteral(TOLVENAR_SOURCE_DIR "/packaging/copyright"));
        QVERIFY(copyright.contains(u"Copyright: 2026 The Tolvenar developers\nLicense: Expat\n"_s));
        copyright = copyright.section(u"\nLicense: Expat\n"_s, -1)
                        .replace(u"\n .\n"_s, u"\n\n"_s)
                        .replace(u"\n "_s, u"\n"_s)
                        .mid(1);
        QCOMPARE(copyright, licence.section(u"\n\n"_s, 2));
    }

    // Qt's dialogs speak the user's language ("Look in:" of the file dialog), else Chinese.
    void qtTexts()
    {
        if (!QFile::exists(
                QLibraryInfo::path(QLibraryInfo::TranslationsPath) + u"/qtbase_zh_CN.qm"_s))
            QSKIP("Qt's translations (qt6-translations-l10n) are not installed");
        QStringList lookIn;
        for (const QLocale &locale : { QLocale(u"zh_CN"_s), QLocale(u"de_DE"_s), QLocale::c() }) {
            QTranslator translator;
            QVERIFY(loadQtTranslation(translator, locale));
            lookIn << translator.translate("QFileDialog", "Look in:");
        }
        QCOMPARE(lookIn.join(u'/'), u"查找范围：/Suchen in:/查找范围："_s);
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
