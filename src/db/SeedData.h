#pragma once

#include <array>
#include <cstddef>

// The standard lookup lists of a new catalogue, in the order their rows are numbered.
namespace seed {

inline constexpr std::size_t kAuthorCount = 926;
extern const std::array<const char*, kAuthorCount> kAuthors;

inline constexpr std::array kAwards = {"Bestseller",
                                       "Pulitzer Prize",
                                       "National Book Award",
                                       "National Book Critics Circle Award",
                                       "PEN American Center Literary Award",
                                       "PEN/Faulkner Award",
                                       "Nobel Prize",
                                       "Nebula Award",
                                       "Audie Award",
                                       "Caldecott Medal",
                                       "Newbery Medal"};

inline constexpr std::array kLocations = {"(none)",
                                          "Living Room",
                                          "Library Room",
                                          "Personal Library - Shelf 1",
                                          "Personal Library - Shelf 2",
                                          "Personal Library - Shelf 3"};

inline constexpr std::array kSubjects = {"(none)",
                                         "Arts & Photography",
                                         "Biographies & Memoirs",
                                         "Business & Investing",
                                         "Children's Books",
                                         "Christian Books",
                                         "Computers & Internet",
                                         "Cooking, Food & Wine",
                                         "Entertainment",
                                         "Espanol",
                                         "Health, Mind & Body",
                                         "History",
                                         "Home & Garden",
                                         "Horror",
                                         "Literature & Fiction",
                                         "Mystery & Thrillers",
                                         "Nonfiction",
                                         "Outdoors & Nature",
                                         "Parenting & Families",
                                         "Professional & Technical",
                                         "Reference",
                                         "Religion & Spirituality",
                                         "Romance",
                                         "Science Fiction & Fantasy",
                                         "Sheet Music & Scores",
                                         "Sports",
                                         "Teens",
                                         "Travel",
                                         "Woman's Fiction"};

inline constexpr std::array kFormats = {"(none)",   "Hardcover",      "Paperback", "eBook",
                                        "Magazine", "Audio Cassette", "Audio CD",  "Large Print"};

inline constexpr std::array kRatings = {"(none)",     "Baby-3 years", "4-8 years",
                                        "9-12 years", "Teen",         "All ages"};

} // namespace seed
