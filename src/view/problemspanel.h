#pragma once

#include "view/programview.h"

#include <QDockWidget>
#include <QPointer>

class QTreeView;

namespace kr44 {

class ProblemListModel;

// The "Problems" dock: the findings of one program window's view, following each check, and
// activating an entry (Enter, double-click) selects its row in the view, scrolls to it and
// gives the view the focus.
//
// The main window keeps one panel and hands it the active program window's view with
// setView() whenever that changes (nullptr when no program window is active). A view that is
// destroyed leaves the panel empty.
class ProblemsPanel final : public QDockWidget
{
    Q_OBJECT

public:
    explicit ProblemsPanel(QWidget *parent = nullptr);

    void setView(ProgramView *view);
    [[nodiscard]] ProgramView *view() const { return m_view; }
    [[nodiscard]] QTreeView *list() const { return m_list; }
    [[nodiscard]] ProblemListModel *problemModel() const { return m_model; }

private:
    void followFindings();
    void showEntry(const QModelIndex &index);

    QPointer<ProgramView> m_view;
    QMetaObject::Connection m_findingsConnection;
    QMetaObject::Connection m_destroyedConnection;
    QTreeView *m_list;
    ProblemListModel *m_model;
};

} // namespace kr44
