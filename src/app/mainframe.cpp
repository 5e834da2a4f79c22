#include "mainframe.h"

#include <QMdiArea>

CMainFrame::CMainFrame(QWidget *parent) : QMainWindow(parent), m_mdiArea(new QMdiArea(this))
{
    setObjectName(QStringLiteral("CMainFrame"));
    setWindowTitle(QStringLiteral("KR44 Controller"));
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_mdiArea->setAccessibleName(QStringLiteral("Program windows"));
    setCentralWidget(m_mdiArea);
    resize(800, 600);
}
