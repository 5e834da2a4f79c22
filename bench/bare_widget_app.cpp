// The yardstick for bench_startup: the least a Qt widget application does before its first
// frame, one QApplication and one empty QMainWindow of kr44's main window size. At the main
// window's first paint it prints "first-paint-ns N" on standard error, N from CLOCK_MONOTONIC,
// and ends, as kr44 does with KR44_STARTUP_PROBE set. The probe is an application-wide event
// filter like kr44's, so both pay the same for it.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>

#include <cstdio>
#include <ctime>

namespace {

class FirstPaintProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_done && event->type() == QEvent::Paint
            && watched->objectName() == QLatin1String("bareMainWindow")) {
            m_done = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::fprintf(stderr, "first-paint-ns %lld\n",
                         static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            QCoreApplication::exit(0);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_done = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstPaintProbe probe;
    app.installEventFilter(&probe);
    QMainWindow window;
    window.setObjectName(QStringLiteral("bareMainWindow"));
    window.setAccessibleName(QStringLiteral("Bare main window"));
    window.resize(900, 640);
    window.show();
    return QApplication::exec();
}
