#pragma once

#include "instructiondlg.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

class CHoldDlg final : public CInstructionDlg
{
    Q_OBJECT

public:
    explicit CHoldDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_nHoldTime;
    int m_nMultiplier;
    QLineEdit *m_timeEdit = nullptr;
    QComboBox *m_multiplierList = nullptr;
};

class CInitialiseDlg final : public CInstructionDlg
{
    Q_OBJECT

public:
    explicit CInitialiseDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    void checkFields(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_bClearPosition;
    int m_bClearOutputs;
    QCheckBox *m_positionBox = nullptr;
    QCheckBox *m_outputsBox = nullptr;
};

// Shows eighth, quarter, half from top to bottom but checks half first.
class CMinistepDlg final : public CInstructionDlg
{
    Q_OBJECT

public:
    explicit CMinistepDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_nHalf;
    int m_nQuarter;
    int m_nEighth;
    QLineEdit *m_eighthEdit = nullptr;
    QLineEdit *m_quarterEdit = nullptr;
    QLineEdit *m_halfEdit = nullptr;
};

class CAccelerationDlg final : public CInstructionDlg
{
    Q_OBJECT

public:
    explicit CAccelerationDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    int m_nStartRate;
    int m_nSlewRate;
    int m_nRamp;
    QLineEdit *m_startEdit = nullptr;
    QLineEdit *m_slewEdit = nullptr;
    QLineEdit *m_rampEdit = nullptr;
};
