#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

// Every test class of an area is linked into one executable, which runs the class named by its
// first argument, or all of them. The executable also serves as the helper process that some
// tests start (as another user, or as a second instance): `<area>_tests --helper NAME ARGS...`.
namespace kr44test {

using TestFactory = std::function<QObject *()>;
using HelperMain = std::function<int(const QStringList &args)>;

bool registerTest(const char *name, TestFactory factory);
bool registerHelper(const char *name, HelperMain main);

// This executable started as `--helper name args...`.
[[nodiscard]] QStringList helperCommand(const QString &name, const QStringList &args = {});

int runTests(int argc, char **argv);

} // namespace kr44test

#define KR44_TEST(Class)                                                                           \
    [[maybe_unused]] static const bool kr44RegisteredTest##Class                                   \
            = kr44test::registerTest(#Class, [] { return new Class; });

#define KR44_TEST_HELPER(name, function)                                                           \
    [[maybe_unused]] static const bool kr44RegisteredHelper##function                              \
            = kr44test::registerHelper(name, function);
