#include "app/frmHelp.h"
#include "support/TestHome.h"

class HelpTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every link of the handbook leads to a section of its own: nothing it shows comes from
    // the network, and no contents entry points nowhere.
    void handbookLinksStayInsideIt() {
        QFile file(u":/help/handbook.html"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QStringList anchors;
        for (const QRegularExpressionMatch& id : QRegularExpression(u" id=\"([^\"]+)\""_s).globalMatch(html))
            anchors << id.captured(1);
        int links = 0;
        for (const QRegularExpressionMatch& link :
             QRegularExpression(u"(?:href|src)=\"([^\"]*)\""_s).globalMatch(html)) {
            const QString target = link.captured(1);
            QVERIFY2(target.startsWith(u'#') && anchors.contains(target.mid(1)), qPrintable(target));
            ++links;
        }
        QVERIFY(links >= 13);
    }

    void windowShowsTheSectionAskedFor() {
        TestHome home;
        frmHelp* help = ShowHandbook(nullptr, u"keyboard"_s);
        QCOMPARE(help->txtHandbook->source().fragment(), u"keyboard"_s);
        QVERIFY(help->txtHandbook->toPlainText().contains(u"Printing without a printer"_s));
        // Asking again brings the same window to the section; Back returns, Esc closes.
        QCOMPARE(ShowHandbook(nullptr, u"backups"_s), help);
        QCOMPARE(help->txtHandbook->source().fragment(), u"backups"_s);
        QVERIFY(help->cmdBack->isEnabled());
        help->cmdBack->click();
        QCOMPARE(help->txtHandbook->source().fragment(), u"keyboard"_s);
        help->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(help));
        QTest::keyClick(help, Qt::Key_Escape);
        QTRY_VERIFY(!HelpWindow());
    }
};

TOMEKEEP_TEST(HelpTest);
#include "tst_help.moc"
