#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTabWidget;
class AceStandingList;
class LoftStandingList;
class TDBGrid;
class TdmORVS;
struct Championship;

// The season's championships: the stored ones, the editor of one (name, races, scoring) and its
// ace-pigeon and best-loft standings, computed from the races each time they are shown.
class TfrmChampionship : public QWidget
{
    Q_OBJECT
public:
    TfrmChampionship(TdmORVS &dm, QWidget *parent = nullptr);

    // Re-reads the championships and races and shows the chosen championship's standings.
    void FormShow();
    void lstChampionshipClick();
    void btnChampNewClick();
    void btnChampSaveClick();
    void btnChampDeleteClick();
    void showStandings();
    QString chosenName() const;

    QListWidget *lstChampionship, *lstChampRaces;
    QGroupBox *grpChampionship;
    QLineEdit *edtChampName, *edtChampMax, *edtChampMin;
    QComboBox *cbbChampScheme;
    QSpinBox *spnChampRatio, *spnChampBest, *spnChampLoftBirds;
    QPushButton *btnChampNew, *btnChampSave, *btnChampDelete, *btnChampOK, *btnStandingsPrint, *btnStandingsExport;
    void btnStandingsPrintClick();
    void btnStandingsExportClick();
    QTabWidget *tabStandings;
    AceStandingList *adoqAces;
    LoftStandingList *adoqLofts;
    TDBGrid *dbgrdAces, *dbgrdLofts;
    QLabel *lblStandingsTitle, *lblStandingsNote;

signals:
    void done();

private:
    void reload(const QString &keep);
    void fillRaces();
    void loadEditor(const Championship &c);
    bool readEditor(Championship *c);

    TdmORVS &dm_;
};
