// One executable holds the document's test classes; its first argument picks
// the class to run (all of them without one), so that CTest runs them apart.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <memory>

using TTestFactory = std::function<std::unique_ptr<QObject>()>;
std::map<QString, TTestFactory> &TestRegistry();

#define CORVELLA_TEST(Class)                                                                       \
    static const bool Registered##Class = [] {                                                     \
        TestRegistry().emplace(QStringLiteral(#Class), [] { return std::make_unique<Class>(); });  \
        return true;                                                                               \
    }()
