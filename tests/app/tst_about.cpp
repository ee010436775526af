#include "app/frmAbout.h"
#include "db/Connection.h"
#include "support/TestHome.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>

class AboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void versionShowsTheRevisionWithTwoDigits() {
        QCOMPARE(AboutVersionText(1, 0, 1), QStringLiteral("Tomekeep 1.0.01"));
        QCOMPARE(AboutVersionText(1, 0, 12), QStringLiteral("Tomekeep 1.0.12"));
        QCOMPARE(AboutVersionText(2, 3, 0), QStringLiteral("Tomekeep 2.3.00"));
    }

    void countIsGroupedByTheLocale_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << "en_US" << qint64(0) << "Books on file: 0";
        QTest::newRow("English thousands") << "en_US" << qint64(12345) << "Books on file: 12,345";
        QTest::newRow("German thousands") << "de_DE" << qint64(12345) << "Books on file: 12.345";
        QTest::newRow("millions") << "en_US" << qint64(1234567) << "Books on file: 1,234,567";
    }

    void countIsGroupedByTheLocale() {
        QFETCH(QString, locale);
        QFETCH(qint64, count);
        QFETCH(QString, text);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        const QString shown = BooksOnFileText(count);
        QLocale::setDefault(previous);
        QCOMPARE(shown, text);
    }

    void windowShowsTheOpenCatalogue() {
        TestHome home;
        QVERIFY(home.openFreshCatalogue());
        {
            frmAbout about;
            QCOMPARE(about.windowTitle(), QStringLiteral("About Tomekeep"));
            QCOMPARE(about.lblApp->text(), QStringLiteral("Tomekeep 1.0.01"));
            QCOMPARE(about.lblPgCnt->text(), QStringLiteral("Books on file: 1"));
            about.show();
            about.cmdOK->click();
            QCOMPARE(about.result(), int(QDialog::Accepted));
            QVERIFY(!about.isVisible());
        }
        QVERIFY(gConn.execute(QStringLiteral("DELETE FROM [Book]")));
        frmAbout empty;
        QCOMPARE(empty.lblPgCnt->text(), QStringLiteral("Books on file: 0"));
    }
};

TOMEKEEP_TEST(AboutTest);
#include "tst_about.moc"
