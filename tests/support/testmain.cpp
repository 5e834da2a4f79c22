#include "testmain.h"

#include <QCoreApplication>
#include <QMap>
#include <QTest>

#include <memory>

#ifdef KR44_TEST_GUI
#include <QApplication>

#endif

namespace kr44test {

namespace {

QMap<QString, TestFactory> &tests()
{
    static QMap<QString, TestFactory> map;
    return map;
}

QMap<QString, HelperMain> &helpers()
{
    static QMap<QString, HelperMain> map;
    return map;
}

} // namespace

bool registerTest(const char *name, TestFactory factory)
{
    tests().insert(QString::fromLatin1(name), std::move(factory));
    return true;
}

bool registerHelper(const char *name, HelperMain main)
{
    helpers().insert(QString::fromLatin1(name), std::move(main));
    return true;
}

QStringList helperCommand(const QString &name, const QStringList &args)
{
    return QStringList {QCoreApplication::applicationFilePath(), QStringLiteral("--helper"), name}
    + args;
}

int runTests(int argc, char **argv)
{
#ifdef KR44_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    QStringList args = app.arguments();
    if (args.size() >= 3 && args.at(1) == QLatin1String("--helper")) {
        const HelperMain main = helpers().value(args.at(2));
        if (!main) {
            qWarning("no helper named %s", qPrintable(args.at(2)));
            return 2;
        }
        return main(args.mid(3));
    }

    QStringList names = tests().keys();
    if (args.size() >= 2 && !args.at(1).startsWith(QLatin1Char('-'))) {
        if (!tests().contains(args.at(1))) {
            qWarning("no test class named %s; there are: %s", qPrintable(args.at(1)),
                     qPrintable(names.join(QLatin1String(", "))));
            return 2;
        }
        names = {args.takeAt(1)};
    }
    int failed = 0;
    for (const QString &name : std::as_const(names)) {
        std::unique_ptr<QObject> test(tests().value(name)());
        failed += QTest::qExec(test.get(), args);
    }
    return failed;
}

} // namespace kr44test

int main(int argc, char **argv) { return kr44test::runTests(argc, argv); }
