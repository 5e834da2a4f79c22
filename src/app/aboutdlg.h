#pragma once

#include <QDialog>

// "About KR44": name, version and the maker's notice.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget *parent = nullptr);
};
