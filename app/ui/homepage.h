#pragma once

#include "app/homelist.h"
#include "app/ui/page.h"

class TDBGrid;
class QLabel;

class TfrmHome : public TPage
{
    Q_OBJECT
public:
    explicit TfrmHome(TdmORVS &dm, QWidget *parent = nullptr);

    void FormShow() override;
    void Caption_Language_Update();
    void DBGrid1TitleClick(const QString &field);
    TDBGrid *grid() const { return grid_; }
    HomeClockList *adoqDBGrid() const { return table_; }

private:
    HomeClockList *table_;
    TDBGrid *grid_;
};
