#pragma once

#include <QTableView>

// The list control of a program window: a table of single, whole rows that turns the keys and
// clicks the editor reacts to into requests, and otherwise behaves as a plain table view.

namespace kr44 {

class ProgramListView final : public QTableView
{
    Q_OBJECT

public:
    explicit ProgramListView(QWidget *parent = nullptr);

    // The point at which a line menu opened from the keyboard appears: 5 pixels right of and
    // below the top-left corner of the list's client area, in global coordinates.
    [[nodiscard]] QPoint keyboardMenuPos() const;

Q_SIGNALS:
    // Enter, or a double-click with the left button.
    void editRequested();
    void insertRequested();
    void deleteRequested();
    void commentRequested();
    void lineMenuRequested(const QPoint &globalPos);
    // The area the rows are shown in was resized: the list was, or a scroll bar came or went.
    void viewportResized();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    // A scroll area gets the resize events of its viewport here.
    void resizeEvent(QResizeEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    // Set while Qt handles the user's own key or click: only then may a new current row scroll
    // the list. Rows that an editing operation selects leave the scroll position alone.
    bool m_userMove = false;
};

} // namespace kr44
