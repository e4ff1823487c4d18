#include "app/ui/placeholderpage.h"

#include <QLabel>
#include <QVBoxLayout>

TPlaceholderPage::TPlaceholderPage(const QString &formName, const QString &title, TdmORVS &dm, QWidget *parent)
    : TPage(formName, dm, parent)
{
    auto *lay = new QVBoxLayout(this);
    auto *l = new QLabel(QStringLiteral("<h2>%1</h2><p>This page is not available in this build yet.</p>").arg(title),
                         this);
    l->setAlignment(Qt::AlignCenter);
    lay->addWidget(l);
}
