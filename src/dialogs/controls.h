#pragma once

#include "dialogs/dialogrules.h"

#include <QList>
#include <QString>

class QBoxLayout;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QWidget;

namespace kr44 {

class SpinEdit;

// A caption without its mnemonic marks, as a screen reader should say it.
[[nodiscard]] QString withoutMnemonic(const QString &caption);

void setNames(QWidget *widget, const QString &objectName, const QString &accessibleName);

[[nodiscard]] QLabel *makeLabel(const QString &text, const QString &objectName, QWidget *parent);
// Right-aligned; an unsigned field takes digits only.
[[nodiscard]] QLineEdit *makeNumberEdit(NumberSign sign, const QString &objectName,
                                        const QString &accessibleName, QWidget *parent);
[[nodiscard]] SpinEdit *makeSpinEdit(int minimum, int maximum, const QString &objectName,
                                     const QString &accessibleName, QWidget *parent);

struct RadioChoice
{
    QString text;
    QString objectName;
    QString accessibleName;
};

// One exclusive group, the buttons numbered from 0 in the order given and added to `row`.
[[nodiscard]] QButtonGroup *makeRadioGroup(const QList<RadioChoice> &choices,
                                           const QString &objectName, QWidget *parent,
                                           QBoxLayout *row);

} // namespace kr44
