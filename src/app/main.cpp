#include "mainframe.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Quelmark Controls"));
    QApplication::setApplicationName(QStringLiteral("KR44 Demo Program"));
    CMainFrame frame;
    frame.show();
    return QApplication::exec();
}
