#pragma once

#include <QObject>
#include <functional>
#include <memory>

// Test classes of one folder register here and run together in that folder's executable.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterTestClass(const char* name, TestFactory factory);

#define TOMEKEEP_TEST(Class)                                                                                 \
    static const bool registered_##Class =                                                                   \
        RegisterTestClass(#Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
