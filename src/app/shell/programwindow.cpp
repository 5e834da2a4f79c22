#include "app/shell/programwindow.h"

#include "model/programdocument.h"
#include "view/programview.h"

#include <QCloseEvent>

namespace kr44 {

ProgramWindow::ProgramWindow(ProgramDocument *doc, QWidget *parent)
    : QMdiSubWindow(parent), m_doc(doc), m_view(new ProgramView(doc, this))
{
    setObjectName(QStringLiteral("ProgramWindow"));
    m_doc->setParent(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Caption, system menu, sizing border, maximise and close: no minimise button.
    setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setWidget(m_view);
    setWindowTitle(m_doc->title());
    setAccessibleName(m_doc->title());
    connect(m_doc, &ProgramDocument::titleChanged, this, [this](const QString &title) {
        setWindowTitle(title);
        setAccessibleName(title);
    });
}

void ProgramWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard(this)) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

} // namespace kr44
