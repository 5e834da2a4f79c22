#pragma once

#include "controls.h"
#include "instructiondlg.h"

class QButtonGroup;

// One radio group whose checked button is the instruction's field: A, B, C, H and V.
class CChoiceDlg : public CInstructionDlg
{
    Q_OBJECT

protected:
    CChoiceDlg(char code, QByteArray &params, const QString &title, const QString &objectName,
               const QString &lead, const QList<kr44::RadioChoice> &choices,
               Qt::Orientation orientation, QWidget *parent);

    virtual int &value() = 0;
    [[nodiscard]] static int defaultValue(char code);

    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    const char m_code;
    QButtonGroup *m_group = nullptr;
};

class CActivateDlg final : public CChoiceDlg
{
    Q_OBJECT

public:
    explicit CActivateDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nOutput; }

private:
    int m_nOutput;
};

class CMotorDlg final : public CChoiceDlg
{
    Q_OBJECT

public:
    explicit CMotorDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nMotor; }

private:
    int m_nMotor;
};

class CClearDlg final : public CChoiceDlg
{
    Q_OBJECT

public:
    explicit CClearDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nOutput; }

private:
    int m_nOutput;
};

class CHomeDlg final : public CChoiceDlg
{
    Q_OBJECT

public:
    explicit CHomeDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nEnd; }

private:
    int m_nEnd;
};

class CVerifyDlg final : public CChoiceDlg
{
    Q_OBJECT

public:
    explicit CVerifyDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nItem; }

private:
    int m_nItem;
};
