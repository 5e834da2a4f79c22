#pragma once

#include "instructiondlg.h"

class QButtonGroup;
class QLabel;
class QLineEdit;

namespace kr44 {

// The "user input" and "is" rows that g, J, U and W share.
struct InputLevelGroups
{
    QButtonGroup *input = nullptr; // ids 0 to 2: user input 1 to 3
    QButtonGroup *level = nullptr; // id 0 low, 1 high
};
InputLevelGroups addInputLevelRows(QWidget *dialog, QGridLayout *grid, int row,
                                   const QString &inputCaption);

} // namespace kr44

class CGoUntilDlg final : public CInstructionDlg
{
    Q_OBJECT

public:
    explicit CGoUntilDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_nDirection;
    int m_nInput; // 0-based
    int m_nLevel;
    QButtonGroup *m_directionGroup = nullptr;
    kr44::InputLevelGroups m_groups;
};

// U and W: an input and its level.
class CInputLevelDlg : public CInstructionDlg
{
    Q_OBJECT

protected:
    CInputLevelDlg(char code, QByteArray &params, const QString &title, const QString &objectName,
                   QWidget *parent);

    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

    int m_nInput; // 0-based
    int m_nLevel;
    kr44::InputLevelGroups m_groups;

private:
    const char m_code;
};

class CUntilDlg final : public CInputLevelDlg
{
    Q_OBJECT

public:
    explicit CUntilDlg(QByteArray &params, QWidget *parent = nullptr);
};

class CWaitDlg final : public CInputLevelDlg
{
    Q_OBJECT

public:
    explicit CWaitDlg(QByteArray &params, QWidget *parent = nullptr);
};

class CLoopDlg final : public CInstructionDlg
{
    Q_OBJECT

public:
    explicit CLoopDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;
    bool opened() override;

private:
    // Pulls the fields (with their messages) and shows the count only for a loop end.
    void showCount();

    int m_nKind = 0; // 0 loop start, 1 loop end
    int m_nCount = 1;
    QButtonGroup *m_kindGroup = nullptr;
    QLabel *m_repeatLabel = nullptr;
    QLineEdit *m_countEdit = nullptr;
    QLabel *m_timesLabel = nullptr;
};
