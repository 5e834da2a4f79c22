// The yardstick for bench_startup: the least a Qt widget application does before its first
// frame, one QApplication and one empty QMainWindow of kr44's main window size. Once the main
// window's first frame is up (the event loop's next turn after its first paint, as kr44 counts
// it) it prints "first-paint-ns N" on standard error, N from CLOCK_MONOTONIC, and ends, as kr44
// does with KR44_STARTUP_PROBE set.
//
// With --text the window also has a menu bar with six menu titles and a status bar saying
// "Ready": the least text a main window shows, which makes Qt read the system's font list and
// load a font, as every application with text does before its first frame.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>

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
            QTimer::singleShot(0, this, [] {
                timespec now {};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::fprintf(stderr, "first-paint-ns %lld\n",
                             static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                QCoreApplication::exit(0);
            });
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
    if (app.arguments().contains(QStringLiteral("--text"))) {
        for (const char *title : {"&File", "&Edit", "&View", "&Options", "&Window", "&Help"})
            window.menuBar()->addMenu(QString::fromLatin1(title));
        window.statusBar()->showMessage(QStringLiteral("Ready"));
    }
    window.resize(1100, 760);
    window.show();
    return QApplication::exec();
}
