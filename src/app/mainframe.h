#pragma once

#include <QMainWindow>

class QMdiArea;

// The main window: holds the program windows in an MDI area.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(QWidget *parent = nullptr);

    [[nodiscard]] QMdiArea *mdiArea() const { return m_mdiArea; }

private:
    QMdiArea *m_mdiArea = nullptr;
};
