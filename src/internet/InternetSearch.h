#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

// The library catalogues a book or an author can be looked up in, in the order the settings
// window offers them; "none" turns the lookup off.
QStringList InternetSites();
QString DefaultInternetSite();

// "Given Surname" becomes "Surname Given": everything after the first blank moves in front.
// A single word stays as it is.
QString SurnameFirst(const QString& name);
// The words of the text joined by "+", each percent-encoded so that "&", "#", "%" and letters
// outside ASCII cannot break the address.
QString InternetSearchQuery(const QString& text);
// The catalogue search address for the site and kind ("title" or "author"); empty for "none"
// and for any site the program does not know.
QUrl InternetSearchUrl(const QString& site, const QString& kind, const QString& text);

// Looks the text up in the catalogue chosen in the settings, in the user's web browser.
void InternetSearch(const QString& kind, const QString& text);

// How addresses are opened: the desktop's browser unless a test installs something else.
using UrlOpener = std::function<void(const QUrl&)>;
UrlOpener SetUrlOpener(UrlOpener opener);
