#include "view/problemspanel.h"

#include "view/problemlistmodel.h"
#include "view/programview.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeView>

namespace kr44 {

ProblemsPanel::ProblemsPanel(QWidget *parent)
    : QDockWidget(parent), m_list(new QTreeView(this)), m_model(new ProblemListModel(this))
{
    setObjectName(QStringLiteral("problemsPanel"));
    setWindowTitle(tr("Problems"));
    setAccessibleName(tr("Problems"));

    m_list->setObjectName(QStringLiteral("problemsList"));
    m_list->setAccessibleName(tr("Problem list"));
    m_list->setModel(m_model);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    // A program full of faults lists tens of thousands of entries: rows of one height keep the
    // list's layout from measuring each of them.
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    QHeaderView *header = m_list->header();
    header->setStretchLastSection(true);
    // Widths from the font and the words the columns show rather than from the contents, which
    // would be measured row by row.
    const QFontMetrics metrics = m_list->fontMetrics();
    header->resizeSection(ProblemListModel::LineColumn,
                          metrics.horizontalAdvance(
                                  QStringLiteral("%1 000000").arg(ProblemListModel::tr("Line"))));
    header->resizeSection(ProblemListModel::SeverityColumn,
                          metrics.horizontalAdvance(ProblemListModel::tr("Warning"))
                                  + style()->pixelMetric(QStyle::PM_SmallIconSize)
                                  + 4 * metrics.averageCharWidth());
    setWidget(m_list);

    connect(m_list, &QAbstractItemView::activated, this, &ProblemsPanel::showEntry);
}

void ProblemsPanel::setView(ProgramView *view)
{
    if (view && view == m_view)
        return;
    disconnect(m_findingsConnection);
    disconnect(m_destroyedConnection);
    m_view = view;
    if (view) {
        m_findingsConnection = connect(view, &ProgramView::findingsChanged, this,
                                       &ProblemsPanel::followFindings);
        m_destroyedConnection = connect(view, &QObject::destroyed, this, [this] {
            disconnect(m_findingsConnection);
            m_model->setFindings(FindingIndex());
        });
    }
    m_model->setFindings(view ? view->findings() : FindingIndex());
}

void ProblemsPanel::followFindings()
{
    if (!m_view)
        return;
    // The entry the user is on stays current by its place in the list.
    const int current = m_list->currentIndex().row();
    if (!m_model->setFindings(m_view->findings()) || current < 0)
        return;
    const int row = std::min(current, m_model->rowCount() - 1);
    if (row >= 0)
        m_list->setCurrentIndex(m_model->index(row, 0));
}

void ProblemsPanel::showEntry(const QModelIndex &index)
{
    if (!m_view)
        return;
    const int row = m_model->programRow(index);
    if (row < 0 || row >= m_view->rowCount())
        return;
    m_view->showRow(row);
    m_view->setFocus(Qt::OtherFocusReason);
}

} // namespace kr44
