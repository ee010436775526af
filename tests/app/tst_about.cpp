#include "app/frmAbout.h"
#include "support/TestHome.h"

class AboutTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void countIsGroupedByTheLocale() {
        const QLocale previous;
        const std::tuple<const char*, qint64, const char*> counts[] = {
            {"en_US", 12345, "Books on file: 12,345"},
            {"de_DE", 12345, "Books on file: 12.345"},
            {"en_US", 1234567, "Books on file: 1,234,567"}};
        for (const auto& [locale, count, text] : counts) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            const QString shown = BooksOnFileText(count);
            QLocale::setDefault(previous);
            QCOMPARE(shown, QString::fromLatin1(text));
        }
    }

    // The window shows the version, its revision always with two digits, and the open catalogue's count.
    void windowShowsTheVersionAndTheOpenCatalogue() {
        FRESH_HOME(home);
        frmAbout about;
        QCOMPARE(QStringList({about.windowTitle(), about.lblApp->text(), about.lblPgCnt->text()}),
                 QStringList({"About Tomekeep", "Tomekeep 1.0.01", "Books on file: 1"}));
        QCOMPARE(AboutVersionText(1, 0, 12) + u'|' + AboutVersionText(2, 3, 0),
                 u"Tomekeep 1.0.12|Tomekeep 2.3.00"_s);
        about.show();
        about.cmdOK->click();
        QVERIFY(about.result() == QDialog::Accepted && !about.isVisible());
    }
};

TOMEKEEP_TEST(AboutTest);
#include "tst_about.moc"
