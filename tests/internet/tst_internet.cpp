#include "app/Settings.h"
#include "internet/InternetSearch.h"
#include "internet/frmInternet.h"
#include "online/BookLookup.h"
#include "support/TestHome.h"

class InternetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void addresses_data() {
        AddColumns<QString, QString, QString, QString>("site", "kind", "text", "address");
        const QString congress = u"http://catalog.loc.gov/cgi-bin/Pwebrecon.cgi?DB=local&PAGE=First"_s;
        AddRow("congress title", "Library of Congress", "title", "War and Peace", congress);
        AddRow("congress author", "Library of Congress", "author", "Leo Tolstoy", congress);
        AddRow("new york title", "New York Public Library", "title", "War   and Peace",
               "http://catalog.nypl.org/search/t?SEARCH=War+and+Peace");
        AddRow("new york author surname first", "New York Public Library", "author", " Leo Tolstoy ",
               "http://catalog.nypl.org/search/a?SEARCH=Tolstoy+Leo");
        AddRow("texas title", "University of Texas Library", "title", "Dune",
               "http://utdirect.utexas.edu/lib/utnetcat/index.WBX?search_type=TB&"
               "search_text=Dune");
        AddRow("texas author of three words", "University of Texas Library", "author", "Ursula K. Le Guin",
               "http://utdirect.utexas.edu/lib/utnetcat/"
               "index.WBX?search_type=AB&search_text=K.+Le+Guin+Ursula");
        AddRow("single-word author unchanged", "New York Public Library", "author", "Colette",
               "http://catalog.nypl.org/search/a?SEARCH=Colette");
        AddRow("empty text ends with the key", "New York Public Library", "title", " ",
               "http://catalog.nypl.org/search/t?SEARCH=");
        AddRow("url characters encoded", "New York Public Library", "title", "Tom & Jerry #5 100%",
               "http://catalog.nypl.org/search/t?SEARCH=Tom+%26+Jerry+%235+100%25");
        AddRow("accents encoded", "New York Public Library", "title", "Émile",
               "http://catalog.nypl.org/search/t?SEARCH=%C3%89mile");
        AddRow("none", "none", "title", "Dune", "");
        AddRow("unknown site", "Somewhere", "title", "Dune", "");
    }

    void addresses() {
        const auto [site, kind, text, address] =
            FetchColumns<QString, QString, QString, QString>("site", "kind", "text", "address");
        QCOMPARE(InternetSearchUrl(site, kind, text).toString(QUrl::FullyEncoded), address);
    }

    // With no site saved the Library of Congress is asked, and an unknown site asks none. The
    // settings window selects the saved site (an unknown one: none) and OK saves the choice;
    // OK with nothing chosen, or Cancel, keeps what was saved.
    void siteIsChosenInTheSettingsWindow() {
        TestHome home;
        QList<QUrl> opened;
        const UrlOpener previous = SetUrlOpener([&opened](const QUrl& url) { opened << url; });
        InternetSearch(u"title"_s, u"Dune"_s);
        SaveSetting(u"InternetSite"_s, u"Elsewhere"_s);
        InternetSearch(u"title"_s, u"Dune"_s);
        SetUrlOpener(previous);
        QVERIFY(opened.size() == 1 && opened[0].host() == u"catalog.loc.gov"_s);

        frmInternet unknown;
        for (const QRadioButton* option : unknown.optInternet)
            QVERIFY(!option->isChecked());
        QTest::mouseClick(unknown.cmdOK, Qt::LeftButton);
        QCOMPARE(unknown.ChosenSite() + u'|' + GetSetting(u"InternetSite"_s), u"|Elsewhere"_s);
        frmInternet again;
        again.optInternet[0]->setChecked(true);
        QTest::mouseClick(again.cmdCancel, Qt::LeftButton);
        QCOMPARE(GetSetting(u"InternetSite"_s), u"Elsewhere"_s);

        SaveSetting(u"InternetSite"_s, u"  new york public library "_s);
        frmInternet window;
        QVERIFY(window.windowTitle() == u"Internet Settings"_s && window.optInternet[2]->isChecked());
        window.optInternet[3]->setChecked(true);
        QTest::mouseClick(window.cmdOK, Qt::LeftButton);
        QCOMPARE(window.ChosenSite() + u'|' + GetSetting(u"InternetSite"_s),
                 u"University of Texas Library|University of Texas Library"_s);
    }

    void detailsServerIsSetAndOverridden_data() {
        AddColumns<QString, QString, QString, bool>("typed", "environment", "used", "refused");
        AddRow("own server", " http://books.example:8080/ ", "", "http://books.example:8080/", false);
        AddRow("emptied is the standard one", "", "", "https://openlibrary.org", false);
        AddRow("environment wins", "http://books.example", "http://127.0.0.1:9", "http://127.0.0.1:9", false);
        AddRow("not a web address", "openlibrary", "", "https://openlibrary.org", true);
    }

    void detailsServerIsSetAndOverridden() {
        const auto [typed, environment, used, refused] =
            FetchColumns<QString, QString, QString, bool>("typed", "environment", "used", "refused");
        CheckedHome home;
        const QByteArray previous = qgetenv("TOMEKEEP_METADATA_URL");
        qputenv("TOMEKEEP_METADATA_URL", environment.toUtf8());
        frmInternet window;
        QCOMPARE(window.txtMetadataUrl->text(), u"https://openlibrary.org"_s);
        window.optInternet[1]->setChecked(true);
        window.txtMetadataUrl->setText(typed);
        if (refused)
            home.prompts().answerOk();
        QTest::mouseClick(window.cmdOK, Qt::LeftButton);
        QCOMPARE(u"%1 %2 "_s.arg(window.result()).arg(home.prompts().count()) + MetadataBaseUrl(),
                 (refused ? u"0 1 "_s : u"1 0 "_s) + used);
        qputenv("TOMEKEEP_METADATA_URL", previous);
    }
};

TOMEKEEP_TEST(InternetTest);
#include "tst_internet.moc"
