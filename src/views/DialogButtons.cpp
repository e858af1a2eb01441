#include "views/DialogButtons.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout *OkCancelRow(QDialog &dialog, const QString &okName, bool okTakesEnter)
{
    auto *ok = new QPushButton(LoadStr(Sid::Ok), &dialog);
    ok->setObjectName(okName);
    ok->setAutoDefault(okTakesEnter);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    auto *cancel = new QPushButton(LoadStr(Sid::UserCancel), &dialog);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}
