#include "lookups/LookupLists.h"

#include "lookups/DialogSupport.h"

#include <array>

QString gLastAddedAward;
QString gLastAddedAuthor;

namespace {

LookupMember member(LookupList list, const QString& plural, const QString& caption, const QString& noun,
                    const QString& label, const QString& usageTable, const QString& duplicateTitle,
                    const QString& refusalText, int nameLimit, QString* lastAdded = nullptr) {
    return LookupMember{list,
                        u"frm" + plural,
                        caption,
                        u"frm" + noun,
                        noun,
                        label,
                        noun,
                        noun + u"Id",
                        usageTable,
                        u"Add " + noun,
                        u"Edit " + noun,
                        duplicateTitle,
                        refusalText,
                        nameLimit,
                        lastAdded,
                        list == LookupList::Authors};
}

const std::array<LookupMember, 6>& members() {
    static const std::array<LookupMember, 6> table = {
        member(LookupList::Ratings, u"Ratings"_qs, u"Ratings"_qs, u"Rating"_qs, u"Name:"_qs, u"Book"_qs,
               u"Warning"_qs, u"Cannot delete this rating.  It is used in "_qs, 10),
        member(LookupList::Subjects, u"Subjects"_qs, u"Subjects"_qs, u"Subject"_qs, u"Name:"_qs, u"Book"_qs,
               u"Warning"_qs, u"Cannot delete this subject.  It is used in "_qs, 50),
        member(LookupList::Awards, u"Awards"_qs, u"Awards"_qs, u"Award"_qs, u"Award:"_qs, u"BookAward"_qs,
               u"Information"_qs, u"Cannot delete this award.  Is is used in "_qs, 50, &gLastAddedAward),
        member(LookupList::Formats, u"Formats"_qs, u"Formats"_qs, u"Format"_qs, u"Name:"_qs, u"Book"_qs,
               u"Information"_qs, u"Cannot delete this format.  Is is used in "_qs, 50),
        member(LookupList::Locations, u"Locations"_qs, u"Storage Locations"_qs, u"Location"_qs, u"Name:"_qs,
               u"Book"_qs, u"Information"_qs, u"Cannot delete this location.  Is is used in "_qs, 50),
        member(LookupList::Authors, u"Authors"_qs, u"Authors"_qs, u"Author"_qs, u"Name:"_qs, u"Book"_qs,
               u"Information"_qs, u"Cannot delete this author.  They are used in "_qs, 50, &gLastAddedAuthor),
    };
    return table;
}

} // namespace

const LookupMember& LookupMemberOf(LookupList which) {
    return MemberOf(members(), &LookupMember::list, which);
}
