// Pictures of the help window and the About box, for looking at:
//   desktopshots OUTDIR
// writes help-<page>.png for a few help pages and about.png into OUTDIR.

#include "app/help/helpindex.h"
#include "app/shell/aboutdialog.h"
#include "app/shell/fileiconengine.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

#include <cstdio>

using namespace kr44;

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: desktopshots OUTDIR\n", stderr);
        return 64;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QApplication::setWindowIcon(kr44::applicationIcon());

    HelpIndex help;
    if (!help.showIndex(nullptr)) {
        std::fputs("help cannot be shown\n", stderr);
        return 1;
    }
    HelpWindow *window = help.window();
    window->resize(900, 680);
    int written = 0;
    for (const char *page :
         {"index", "instructions", "editing", "sending", "menus", "commandline"}) {
        window->browser()->setSource(kr44::helpIndexUrl().resolved(
                QUrl(QString::fromLatin1(page) + QStringLiteral(".html"))));
        if (window->grab().save(
                    out.filePath(QStringLiteral("help-%1.png").arg(QLatin1String(page)))))
            ++written;
    }

    AboutDialog about;
    about.show();
    if (about.grab().save(out.filePath(QStringLiteral("about.png"))))
        ++written;
    std::printf("%d pictures in %s\n", written, qPrintable(out.path()));
    return written == 7 ? 0 : 1;
}
