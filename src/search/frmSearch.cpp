#include "search/frmSearch.h"

#include "app/Modal.h"
#include "app/Prompts.h"
#include "app/Settings.h"
#include "lookups/DialogSupport.h"
#include "main/SearchState.h"
#include "search/SearchMatch.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace {

constexpr int kMaxSearchText = 100;

// The parts of one window's table row that follow a common pattern.
SearchMember member(SearchKind kind, const QString& name, const QString& caption, const QString& label,
                    const QString& boxName, int mode, QString* value, const QString& help,
                    const QString& emptyMessage, const QString& noMatchPrefix,
                    std::optional<PickerKind> lookup = std::nullopt) {
    const QString setting = u"gSearch" + name;
    return SearchMember{kind,
                        u"frmSearch" + name,
                        caption,
                        label,
                        boxName,
                        help,
                        setting,
                        mode,
                        value,
                        emptyMessage,
                        noMatchPrefix,
                        lookup,
                        lookup ? u"&Lookup " + name : QString()};
}

const std::array<SearchMember, 8>& members() {
    static const std::array<SearchMember, 8> table = {
        member(SearchKind::Title, u"Title"_qs, u"Search Title"_qs, u"Title:"_qs, u"txtTitle"_qs, kSearchTitle,
               &gSearchTitle, u"Enter the title of the book you want to find."_qs,
               u"Enter a title to search for."_qs, u"No books match the title '"_qs),
        member(SearchKind::Label, u"Label"_qs, u"Search Label Number"_qs, u"Label:"_qs, u"txtLabel"_qs,
               kSearchLabel, &gSearchLabel, u"Enter the label number of the movie you want to find."_qs,
               u"Enter a label number to search."_qs, u"No books match the label number '"_qs),
        member(SearchKind::Award, u"Award"_qs, u"Search Award"_qs, u"Award:"_qs, u"txtSearch"_qs,
               kSearchAward, &gSearchAward,
               u"Enter the name of an award to find the books with that award.."_qs,
               u"Enter an award to search for."_qs, u"No books have an award that matches '"_qs,
               PickerKind::LookupAward),
        member(SearchKind::Publisher, u"Publisher"_qs, u"Search Publisher"_qs, u"Publisher:"_qs,
               u"txtSearch"_qs, kSearchPublisher, &gSearchPublisher,
               u"Enter the publisher of the book you want to find."_qs,
               u"Enter a publisher to search for."_qs, u"No books match the publisher '"_qs),
        member(SearchKind::Author, u"Author"_qs, u"Search Author"_qs, u"Author:"_qs, u"txtSearch"_qs,
               kSearchAuthor, &gSearchAuthor, u"Enter the author of the book you want to find."_qs,
               u"Enter a Author to search for."_qs, u"No books match the author '"_qs),
        member(SearchKind::Subject, u"Subject"_qs, u"Search Subject"_qs, u"Subject:"_qs, u"txtSearch"_qs,
               kSearchSubject, &gSearchSubject, u"Enter the subject of the books you want to find."_qs,
               u"Enter a subject to search for."_qs, u"No books have a subject that matches '"_qs,
               PickerKind::LookupSubject),
        member(SearchKind::Location, u"Location"_qs, u"Search Location"_qs, u"Location:"_qs, u"txtSearch"_qs,
               kSearchLocation, &gSearchLocation,
               u"Enter the name of the storage location of the books you want to find."_qs,
               u"Enter a location to search for."_qs, u"No books have a location that matches '"_qs,
               PickerKind::LookupLocation),
        member(SearchKind::Notes, u"Notes"_qs, u"Search Notes"_qs, u"Notes:"_qs, u"txtSearch"_qs,
               kSearchNotes, &gSearchNotes, u"Enter any notes you want to find."_qs,
               u"Enter notes to search for."_qs, u"No books match the notes '"_qs),
    };
    return table;
}

} // namespace

const SearchMember& SearchMemberOf(SearchKind kind) {
    return MemberOf(members(), &SearchMember::kind, kind);
}

QString SearchWildcardHelp() {
    return QStringLiteral("  Use * to represent any group of letters and ? to represent any one letter.");
}

frmSearch::frmSearch(const SearchMember& member, std::function<void()> populateList, QWidget* parent)
    : QDialog(parent)
    , m_member(member)
    , m_populateList(std::move(populateList)) {
    SetUpWindow(*this, member.objectName, member.caption);

    lblSearch = new QLabel(member.label, this);
    lblSearch->setObjectName(QStringLiteral("lblSearch"));
    txtSearch = new QLineEdit(this);
    txtSearch->setObjectName(member.boxName);
    txtSearch->setMaxLength(kMaxSearchText);
    txtSearch->setMinimumWidth(300);
    lblSearch->setBuddy(txtSearch);
    lblHelp = new QLabel(member.help + SearchWildcardHelp(), this);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setWordWrap(true);
    cmdSearch = MakeButton(QStringLiteral("&Search"), QStringLiteral("cmdSearch"), this);
    cmdSearch->setDefault(true);
    cmdCancel = MakeButton(QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"), this);

    auto* textRow = new QHBoxLayout;
    textRow->addWidget(lblSearch);
    textRow->addWidget(txtSearch, 1);
    auto* buttons = new QHBoxLayout;
    if (member.lookup) {
        cmdLookup = MakeButton(member.lookupCaption, QStringLiteral("cmdLookup"), this);
        buttons->addWidget(cmdLookup);
        connect(cmdLookup, &QPushButton::clicked, this, &frmSearch::cmdLookup_Click);
    }
    buttons->addStretch();
    buttons->addWidget(cmdSearch);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addWidget(lblHelp);
    layout->addLayout(buttons);

    connect(cmdSearch, &QPushButton::clicked, this, &frmSearch::cmdSearch_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    // The last text searched for, selected so that typing replaces it.
    txtSearch->setText(GetSetting(member.settingsKey));
    txtSearch->selectAll();
}

void frmSearch::cmdSearch_Click() {
    QString text = txtSearch->text();
    if (text.trimmed().isEmpty()) {
        refuse(m_member.emptyMessage);
        return;
    }
    if (m_member.kind == SearchKind::Notes) {
        text = WrapInAsterisks(text);
        txtSearch->setText(text);
    }
    SaveSetting(m_member.settingsKey, text);
    const DbResult<SearchMatch> match = FindSearchMatch(m_member.kind, text);
    if (!match) {
        ShowDbError(match.error());
        txtSearch->setFocus();
        return;
    }
    if (!match->found) {
        refuse(m_member.noMatchPrefix + text + u"'.");
        return;
    }
    handOver(text, match->authorIds);
}

void frmSearch::refuse(const QString& message) {
    prompts().tell(QStringLiteral("Information"), message);
    txtSearch->setFocus();
}

void frmSearch::handOver(const QString& text, const QString& authorIds) {
    gSearchMode = m_member.mode;
    *m_member.value = text;
    if (m_member.kind == SearchKind::Author)
        gSearchAuthorIds = authorIds;
    if (m_populateList)
        m_populateList();
    accept();
}

void frmSearch::cmdLookup_Click() {
    ShowLookupPicker(*m_member.lookup, this, *txtSearch);
    txtSearch->setFocus();
}

void ShowSearch(SearchKind kind, QWidget* parent, const std::function<void()>& populateList) {
    frmSearch window(SearchMemberOf(kind), populateList, parent);
    RunModal(window);
}
