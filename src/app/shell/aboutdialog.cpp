#include "app/shell/aboutdialog.h"

#include "app/desktop/versioninfo.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace kr44 {

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(tr("About KR44"));
    setAccessibleName(windowTitle());
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("aboutIcon"));
    icon->setAccessibleName(tr("Application icon"));
    const QIcon appIcon = QApplication::windowIcon().isNull()
            ? style()->standardIcon(QStyle::SP_ComputerIcon)
            : QApplication::windowIcon();
    icon->setPixmap(appIcon.pixmap(32, 32));

    auto *version = new QLabel(kr44::aboutVersionText(), this);
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setTextFormat(Qt::PlainText);
    version->setAccessibleName(version->text());

    auto *notice = new QLabel(tr("Copyright © Quelmark Controls.\nAll rights reserved."), this);
    notice->setObjectName(QStringLiteral("aboutNotice"));
    notice->setTextFormat(Qt::PlainText);
    notice->setAccessibleName(notice->text());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->setObjectName(QStringLiteral("aboutButtons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("aboutOk"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(tr("OK"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->setOrientation(Qt::Vertical);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(version, 0, 1);
    grid->addWidget(notice, 1, 1);
    grid->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace kr44
