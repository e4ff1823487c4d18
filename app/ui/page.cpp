#include "app/ui/page.h"

TPage::TPage(const QString &formName, TdmORVS &dm, QWidget *parent)
    : QWidget(parent), formName_(formName), dm_(dm)
{
    setObjectName(formName);
}

TPage::~TPage() = default;
