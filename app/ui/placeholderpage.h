#pragma once

#include "app/ui/page.h"

// A page whose features are not in this build yet: says so instead of showing dead controls.
class TPlaceholderPage : public TPage
{
    Q_OBJECT
public:
    TPlaceholderPage(const QString &formName, const QString &title, TdmORVS &dm, QWidget *parent = nullptr);
};
