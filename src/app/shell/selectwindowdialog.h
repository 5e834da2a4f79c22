#pragma once

#include <QDialog>

class QListWidget;

// "More Windows...": every open program window by its title, to choose the one to activate.

namespace kr44 {

class SelectWindowDialog : public QDialog
{
    Q_OBJECT

public:
    // `current` (or -1) is selected at first.
    explicit SelectWindowDialog(const QStringList &titles, int current, QWidget *parent = nullptr);

    // The chosen row, or -1.
    [[nodiscard]] int selectedIndex() const;

private:
    QListWidget *m_list;
};

} // namespace kr44
