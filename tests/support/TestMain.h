#pragma once

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <memory>
#include <type_traits>

// Every test sees the whole of Qt Widgets and Qt Test (precompiled); tests write their texts as u"..."_s.
using namespace Qt::StringLiterals;

// Test classes of one folder register here and run together in that folder's executable.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterTestClass(const char* name, TestFactory factory);

#define TOMEKEEP_TEST(Class)                                                                                 \
    static const bool registered_##Class =                                                                   \
        RegisterTestClass(#Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })

// A value for a data-driven test's row: C strings become QString (UTF-8), the rest stay as given.
template <typename T>
decltype(auto) RowValue(const T& value) {
    if constexpr (std::is_convertible_v<const T&, const char*>)
        return QString::fromUtf8(value);
    else
        return (value);
}

// Compares the state a walk through a window reached after the named step (what the test's own
// stateOf() answers) with the one expected; a mismatch names the step and shows both.
#define CHECK_STEP(step, expected)                                                                           \
    do {                                                                                                     \
        const QString reached = stateOf(), wanted = (expected);                                              \
        QVERIFY2(reached == wanted,                                                                          \
                 qPrintable(QString::fromUtf8(step) + u":\n  got  " + reached + u"\n  want " + wanted));     \
    } while (false)

// Adds a row to a data-driven test, one value a column.
template <typename... Values>
void AddRow(const char* name, const Values&... values) {
    QTestData& row = QTest::newRow(name);
    ((row << RowValue(values)), ...);
}

// The columns of a data-driven test in one line: AddColumns<QString, int>("text", "count").
template <typename... Types, typename... Names>
void AddColumns(const Names&... names) {
    static_assert(sizeof...(Types) == sizeof...(Names), "one name a column");
    (QTest::addColumn<Types>(names), ...);
}

// The current row's values of those columns, bound at once:
// const auto [text, count] = FetchColumns<QString, int>("text", "count").
template <typename... Types, typename... Names>
std::tuple<Types...> FetchColumns(const Names&... names) {
    static_assert(sizeof...(Types) == sizeof...(Names), "one name a column");
    return {*static_cast<Types*>(QTest::qData(names, qMetaTypeId<Types>()))...};
}
