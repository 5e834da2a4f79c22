#pragma once

#include <QMdiSubWindow>

#include <functional>

class CKR44Doc;
class CKR44View;

// The window of one program inside the main window: it owns the program's document and holds
// its list view. It opens maximised, has no minimise button and carries the program's title.
class CChildFrame : public QMdiSubWindow
{
    Q_OBJECT

public:
    // Asked before the window closes (the save prompt); false keeps it open.
    using CloseGuard = std::function<bool(CChildFrame *)>;

    // Takes ownership of `doc`.
    explicit CChildFrame(CKR44Doc *doc, QWidget *parent = nullptr);

    [[nodiscard]] CKR44Doc *document() const { return m_doc; }
    [[nodiscard]] CKR44View *view() const { return m_view; }
    void setCloseGuard(CloseGuard guard) { m_closeGuard = std::move(guard); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    CKR44Doc *m_doc;
    CKR44View *m_view;
    CloseGuard m_closeGuard;
};
