#pragma once

#include <QDialog>

// "About KR44": name, version and the maker's notice.

namespace kr44 {

class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
};

} // namespace kr44
