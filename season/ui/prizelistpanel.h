#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSpinBox;
class PrizeListTable;
class TDBGrid;
class TdmORVS;

// A race's prize list with each prize's points, shown on the races page.
class TPrizeListPanel : public QWidget
{
    Q_OBJECT
public:
    TPrizeListPanel(TdmORVS &dm, QWidget *parent = nullptr);
    void showRace(const QString &raceCode, const QString &title);
    void refresh();

    QLabel *lblPrizeListTitle, *lblPrizeListSum;
    QSpinBox *spnPrizeRatio;
    PrizeListTable *adoqPrizeList;
    TDBGrid *dbgrdPrizeList;
    QPushButton *btnPrizeListOK, *btnPrizeListPrint, *btnPrizeListExport;
    void btnPrizeListPrintClick();
    void btnPrizeListExportClick();

signals:
    void done();

private:
    TdmORVS &dm_;
    QString raceCode_;
};
