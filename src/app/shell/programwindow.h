#pragma once

#include <QMdiSubWindow>

#include <functional>

namespace kr44 {

class ProgramDocument;
class ProgramView;

// The window of one program inside the main window: it owns the program's document and holds
// its list view. It opens maximised, has no minimise button and carries the program's title.
class ProgramWindow : public QMdiSubWindow
{
    Q_OBJECT

public:
    // Asked before the window closes (the save prompt); false keeps it open.
    using CloseGuard = std::function<bool(ProgramWindow *)>;

    // Takes ownership of `doc`.
    explicit ProgramWindow(ProgramDocument *doc, QWidget *parent = nullptr);

    [[nodiscard]] ProgramDocument *document() const { return m_doc; }
    [[nodiscard]] ProgramView *view() const { return m_view; }
    void setCloseGuard(CloseGuard guard) { m_closeGuard = std::move(guard); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    ProgramDocument *m_doc;
    ProgramView *m_view;
    CloseGuard m_closeGuard;
};

} // namespace kr44
