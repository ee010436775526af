#include "internet/InternetSearch.h"

#include "app/Settings.h"

#include <QDesktopServices>

namespace {

const QString kNone = QStringLiteral("none");
const QString kCongress = QStringLiteral("Library of Congress");
const QString kNewYork = QStringLiteral("New York Public Library");
const QString kTexas = QStringLiteral("University of Texas Library");

UrlOpener& opener() {
    static UrlOpener current = [](const QUrl& url) {
        QDesktopServices::openUrl(url);
    };
    return current;
}

bool reordersAuthors(const QString& site) {
    return site == kNewYork || site == kTexas;
}

} // namespace

QStringList InternetSites() {
    return {kNone, kCongress, kNewYork, kTexas};
}

QString DefaultInternetSite() {
    return kCongress;
}

QString SurnameFirst(const QString& name) {
    const QString trimmed = name.trimmed();
    const qsizetype blank = trimmed.indexOf(u' ');
    if (blank < 0)
        return trimmed;
    return trimmed.mid(blank + 1) + u' ' + trimmed.left(blank);
}

QString InternetSearchQuery(const QString& text) {
    QStringList words;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
        words << QString::fromLatin1(QUrl::toPercentEncoding(word));
    return words.join(u'+');
}

QUrl InternetSearchUrl(const QString& site, const QString& kind, const QString& text) {
    const bool author = kind == QStringLiteral("author");
    const QString query = InternetSearchQuery(author && reordersAuthors(site) ? SurnameFirst(text) : text);
    QString address;
    if (site == kCongress) {
        address = QStringLiteral("http://catalog.loc.gov/cgi-bin/Pwebrecon.cgi?DB=local&PAGE=First");
    } else if (site == kNewYork) {
        address = QStringLiteral("http://catalog.nypl.org/search/") + (author ? u'a' : u't') +
                  QStringLiteral("?SEARCH=") + query;
    } else if (site == kTexas) {
        address = QStringLiteral("http://utdirect.utexas.edu/lib/utnetcat/index.WBX?search_type=") +
                  (author ? QStringLiteral("AB") : QStringLiteral("TB")) + QStringLiteral("&search_text=") +
                  query;
    }
    return address.isEmpty() ? QUrl() : QUrl(address, QUrl::StrictMode);
}

void InternetSearch(const QString& kind, const QString& text) {
    const QUrl url =
        InternetSearchUrl(GetSetting(QStringLiteral("InternetSite"), DefaultInternetSite()), kind, text);
    // An empty address (no site chosen) opens nothing, as no browser would.
    if (!url.isEmpty())
        opener()(url);
}

UrlOpener SetUrlOpener(UrlOpener replacement) {
    UrlOpener previous = std::move(opener());
    opener() = std::move(replacement);
    return previous;
}
