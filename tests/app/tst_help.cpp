#include "app/frmHelp.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every link of the handbook leads to a section of its own: nothing it shows comes from
    // the network, and no contents entry points nowhere.
    void handbookLinksStayInsideIt() {
        QFile file(QStringLiteral(":/help/handbook.html"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QStringList anchors;
        for (const QRegularExpressionMatch& id :
             QRegularExpression(QStringLiteral(" id=\"([^\"]+)\"")).globalMatch(html))
            anchors << id.captured(1);
        int links = 0;
        for (const QRegularExpressionMatch& link :
             QRegularExpression(QStringLiteral("(?:href|src)=\"([^\"]*)\"")).globalMatch(html)) {
            const QString target = link.captured(1);
            QVERIFY2(target.startsWith(u'#') && anchors.contains(target.mid(1)), qPrintable(target));
            ++links;
        }
        QVERIFY(links >= 13);
    }

    void windowShowsTheSectionAskedFor() {
        TestHome home;
        frmHelp* help = ShowHandbook(nullptr, QStringLiteral("keyboard"));
        QCOMPARE(help->windowTitle(), QStringLiteral("Tomekeep Handbook"));
        QCOMPARE(help->txtHandbook->source().fragment(), QStringLiteral("keyboard"));
        QVERIFY(help->txtHandbook->toPlainText().contains(QStringLiteral("Printing without a printer")));
        // Asking again brings the same window to the section; Back returns, Esc closes.
        QCOMPARE(ShowHandbook(nullptr, QStringLiteral("backups")), help);
        QCOMPARE(help->txtHandbook->source().fragment(), QStringLiteral("backups"));
        QVERIFY(help->cmdBack->isEnabled());
        help->cmdBack->click();
        QCOMPARE(help->txtHandbook->source().fragment(), QStringLiteral("keyboard"));
        help->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help, Qt::Key_Escape);
        QTRY_VERIFY(!HelpWindow());
    }
};

TOMEKEEP_TEST(HelpTest);
#include "tst_help.moc"
