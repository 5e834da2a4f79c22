#include "childframe.h"

#include "kr44doc.h"
#include "kr44view.h"

#include <QCloseEvent>

CChildFrame::CChildFrame(CKR44Doc *doc, QWidget *parent)
    : QMdiSubWindow(parent), m_doc(doc), m_view(new CKR44View(doc, this))
{
    setObjectName(QStringLiteral("CChildFrame"));
    m_doc->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Caption, system menu, sizing border, maximise and close: no minimise button.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWidget(m_view);
    setWindowTitle(m_doc->GetTitle());
    setAccessibleName(m_doc->GetTitle());
    connect(m_doc, &CKR44Doc::titleChanged, this, [this](const QString &title) {
        setWindowTitle(title);
        setAccessibleName(title);
    });
}

void CChildFrame::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
