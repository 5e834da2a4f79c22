#pragma once

#include "instructiondlg.h"

#include <optional>
#include <utility>

class QLineEdit;

namespace kr44 {
class SpinEdit;
}

// One number with its range from the instruction's field: +, -, D, f, G and T.
class CNumberDlg : public CInstructionDlg
{
    Q_OBJECT

public:
    struct Texts
    {
        QString title;
        QString objectName;
        QString lead;     // the caption before the field
        QString unit;     // the caption after the field, or below it for a signed field
        QString editName; // the field's object name
    };
    using SpinRange = std::optional<std::pair<int, int>>;

protected:
    CNumberDlg(char code, QByteArray &params, const Texts &texts, kr44::NumberSign sign,
               SpinRange spinRange, QWidget *parent);

    // The dialog's own field.
    virtual int &value() = 0;
    [[nodiscard]] static int defaultValue(char code);

    void readFields(const QByteArray &params) override;
    void exchange(kr44::DataExchange &dx) override;
    [[nodiscard]] QByteArray composeText() override;

private:
    const char m_code;
    const kr44::NumberSign m_sign;
    QLineEdit *m_edit = nullptr;
};

class CMoveDlg final : public CNumberDlg
{
    Q_OBJECT

public:
    enum class Direction { Clockwise, Counterclockwise };
    CMoveDlg(QByteArray &params, Direction direction, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nSteps; }

private:
    int m_nSteps;
};

class CDelayDlg final : public CNumberDlg
{
    Q_OBJECT

public:
    explicit CDelayDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nDelay; }

private:
    int m_nDelay;
};

class CForceDlg final : public CNumberDlg
{
    Q_OBJECT

public:
    explicit CForceDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nPosition; }

private:
    int m_nPosition;
};

class CGotoDlg final : public CNumberDlg
{
    Q_OBJECT

public:
    explicit CGotoDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nPosition; }

private:
    int m_nPosition;
};

class CSlewRateDlg final : public CNumberDlg
{
    Q_OBJECT

public:
    explicit CSlewRateDlg(QByteArray &params, QWidget *parent = nullptr);

protected:
    int &value() override { return m_nSlewRate; }

private:
    int m_nSlewRate;
};
