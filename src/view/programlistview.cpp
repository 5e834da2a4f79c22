#include "view/programlistview.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScopedValueRollback>

#include <algorithm>
#include <iterator>

namespace kr44 {

namespace {

// The keys of the window's Edit commands (undo, redo, cut, copy, paste).
bool isEditCommandKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods = event->modifiers()
            & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QKeyCombination key(mods, Qt::Key(event->key()));
    static const QKeyCombination keys[] = {
            Qt::CTRL | Qt::Key_Z, Qt::ALT | Qt::Key_Backspace,
            Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z,
            Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete,
            Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert,
            Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert,
    };
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys)
            || event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)
            || event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Copy)
            || event->matches(QKeySequence::Paste);
}

} // namespace

ProgramListView::ProgramListView(QWidget *parent) : QTableView(parent)
{
    setObjectName(QStringLiteral("programList"));
    setAccessibleName(tr("Program lines"));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);

    // One fixed height for every row: a table of a million rows then needs no per-row layout.
    QHeaderView *rowsHeader = verticalHeader();
    rowsHeader->setObjectName(QStringLiteral("programListRows"));
    rowsHeader->setAccessibleName(tr("Rows"));
    rowsHeader->hide();
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setDefaultSectionSize(fontMetrics().height() + 6);

    // Never sized to the contents: that would measure every row on every change.
    QHeaderView *columns = horizontalHeader();
    columns->setObjectName(QStringLiteral("programListHeader"));
    columns->setAccessibleName(tr("Columns"));
    columns->setSectionResizeMode(QHeaderView::Interactive);
    columns->setStretchLastSection(false);
    columns->setHighlightSections(false);
    columns->setSectionsClickable(false);
    columns->setSectionsMovable(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

QPoint ProgramListView::keyboardMenuPos() const
{
    return mapToGlobal(contentsRect().topLeft() + QPoint(5, 5));
}

void ProgramListView::keyPressEvent(QKeyEvent *event)
{
    // The window's Edit actions take these keys before the list sees them. One that gets here
    // has its command disabled (or no window action at all) and must do nothing: the table
    // view's own handling would copy the current cell's text to the clipboard.
    if (isEditCommandKey(event)) {
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers mods
            = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    // Alt combinations are the menu bar's. Otherwise Shift and Ctrl do not matter (Ctrl+Insert,
    // Shift+Insert and Shift+Delete, the clipboard keys, were taken above).
    if (!(mods & Qt::AltModifier)) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            Q_EMIT editRequested();
            return;
        case Qt::Key_Insert:
            event->accept();
            Q_EMIT insertRequested();
            return;
        case Qt::Key_Delete:
            event->accept();
            Q_EMIT deleteRequested();
            return;
        case Qt::Key_Space: {
            // The comment dialog runs inside this call; the list may be gone afterwards.
            const QPointer<ProgramListView> alive(this);
            Q_EMIT commentRequested();
            if (!alive)
                return;
            break; // and on to the list's own handling, as for any other key
        }
        case Qt::Key_Menu:
            event->accept();
            Q_EMIT lineMenuRequested(keyboardMenuPos());
            return;
        case Qt::Key_F10:
            if (mods != Qt::ShiftModifier)
                break;
            event->accept();
            Q_EMIT lineMenuRequested(keyboardMenuPos());
            return;
        default:
            break;
        }
    }
    const QScopedValueRollback<bool> userMove(m_userMove, true);
    QTableView::keyPressEvent(event);
}

void ProgramListView::mousePressEvent(QMouseEvent *event)
{
    // A click below the last row clears the selection (the table view does that itself), so
    // the operations that need a row then do nothing, as in a report list.
    const QScopedValueRollback<bool> userMove(m_userMove, true);
    QTableView::mousePressEvent(event);
}

void ProgramListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    {
        const QScopedValueRollback<bool> userMove(m_userMove, true);
        QTableView::mouseDoubleClickEvent(event);
    }
    if (event->button() == Qt::LeftButton)
        Q_EMIT editRequested();
}

void ProgramListView::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    Q_EMIT lineMenuRequested(event->reason() == QContextMenuEvent::Keyboard ? keyboardMenuPos()
                                                                            : event->globalPos());
}

void ProgramListView::resizeEvent(QResizeEvent *event)
{
    QTableView::resizeEvent(event);
    Q_EMIT viewportResized();
}

void ProgramListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    if (m_userMove) {
        QTableView::currentChanged(current, previous);
        return;
    }
    const bool autoScroll = hasAutoScroll();
    setAutoScroll(false);
    QTableView::currentChanged(current, previous);
    setAutoScroll(autoScroll);
}

} // namespace kr44
