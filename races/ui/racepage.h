#pragma once

#include "app/ui/page.h"
#include "races/racelists.h"
#include "races/raceinfo.h"
#include "races/racerecords.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class Report;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QTimeEdit;
class QWidget;
class RecordTable;
class TDBGrid;
class TRadioGroup;
class TPrizeListPanel;
class TfrmChampionship;
class QTableView;
struct RaceInfo;

// The Races page: race list and editor, club map and sites, sun rows, loft distances, results,
// status and hand-entered arrivals. Handlers read the controls and call the races operations.
class TfrmRace_TC : public TPage
{
    Q_OBJECT
public:
    explicit TfrmRace_TC(TdmORVS &dm, QWidget *parent = nullptr);
    ~TfrmRace_TC() override;

    void FormShow() override;
    bool canLeave() override;
    void Caption_Language_Update();

    // Race point panel
    void btn1Click();
    void chkLibPointClick();
    void combLibSiteClick();
    void btnOKClick();
    void btnCancelClick();
    void dbgrd1CellClick();
    void dbgrd1DblClick();
    void rgRacePointClick(int item);
    void showActionList(const QPoint &at);
    void AAdd1Click();
    void btnClubSaveClick();
    void btnClubCancelClick();
    void DDelete2Click();
    void DDelete1Click();
    void gridTitleClick(RecordTable *table, const QString &field);

    // Sun rows
    void btnSetSunDataClick();
    void btnOK_SunClick();
    void btnCan_SunClick();

    // Distances
    void showDistances();
    void btnLoftDistUpdateClick();
    void btnLoftLibDistClick();
    void showDistanceDownload();
    void Button1Click();
    void butDistDLClick();
    void btnRPRAPrintClick();

    // Results and status
    void showResult(bool withTitle);
    void btnRaceRecClick();
    void btnRecaculateClick();
    void btnRecacuteClick();
    void btnExitClick();
    void showStatus();

    // Result exports
    void CreateWinSpeed();
    void CreateSMSTextFile();
    void butResultExportClick();
    void btnResultExport_XMLClick();
    // Reports
    void butPrtRacePointClick();
    void butPrtLoftRaceDistClick();
    void butDistDLPrtClick();
    void butPrtRaceStatClick();
    void butPrtRaceResultClick();

    // Season: a race's prize list, the championships and their standings
    void showPrizeList();
    void showChampionships();

    // Other clock
    void showOtherClock();
    void cbbLoftNo_OtherClockClick();
    void btnOtherClock_NewClick();
    void edtSearchExit();
    void cbbSelPigNoClick();
    void dbgrdOtherClockCellClick();
    void btnOtherClock_SaveClick();

    // Controls, by their system names (tests drive the page through them).
    QWidget *pnlRacePoint, *pnlRaceResult, *pnlSunData, *pnlLoftLibPointDist, *pnlLoftRaceStat,
        *pnlOtherClosk, *pnlDistDownLoad;
    QGroupBox *grpLibDetail, *grpClubMap, *grpRecaculate;
    QComboBox *combClub, *combLibSite;
    QLineEdit *edtlibSiteAbbriv, *edtLibCode, *medtRaceLon, *medtRaceLat, *edtClubCode, *edtClubNmae;
    QDateEdit *dtpLibDate;
    QTimeEdit *dtpLibTime;
    QCheckBox *chkLibPoint;
    QPushButton *btnOK, *btnCancel, *btn1, *btnSetSunData, *btnClubSave, *btnClubCancel;
    QMenu *pmClubCode, *pmLiberSite;
    TRadioGroup *rgRacePoint;
    RaceList *adoqRacePoint;
    TDBGrid *dbgrd1;
    QTableWidget *StrGridSunSet;
    // distances
    DistanceList *adotLoftRaceDist, *adotDistDL;
    QTableView *dbgrdLoftLibDist, *dbgridDistDL;
    QLabel *lblLoftLibDistTitle, *lblDistDLTitle, *labFilePath;
    QLabel *lblDistMethod; // names how the distances are computed
    QPushButton *butDistDL;
    // results
    RaceResultList *adoqRaceRec;
    RaceStatusList *adoqLoftRaceStat;
    OtherClockList *adoqOtherClock;
    TDBGrid *dbgrdRaceRec, *dbgrdLoftRaceStat, *dbgrdOtherClock;
    QLabel *lbl1RaceResultTitle, *lblRaceHeading, *lblRaceResultSum, *lblSunGaps, *lblLoftRaceStatTiTle, *lblOtherClockTitle;
    QDateEdit *dtpRaceDate;
    QTimeEdit *dtpRaceTime;
    QPushButton *btnRaceRec;
    // season
    TPrizeListPanel *pnlPrizeList = nullptr;
    TfrmChampionship *pnlChampionship = nullptr;
    QPushButton *btnPrizeList = nullptr, *btnChampionships = nullptr;
    // other clock
    QComboBox *cbbLoftNo_OtherClock, *cbbSelPigNo;
    QLineEdit *edtSearch;
    QDateEdit *dtpMarkMasterDate, *dtpMarkedDate, *dtpMasterDate, *dtpMemberDate, *dtpSelPigDate;
    QTimeEdit *dtpMarkMasterTime, *dtpMarkedTime, *dtpMasterTime, *dtpMemberTime, *dtpSelPigTime;

    bool editMode() const { return editMode_; }
    bool addMode() const { return addMode_; }
    QString loadedRaceCode() const { return loadedRaceCode_; }
    QString sortText() const { return sortText_; }
    // The race of the race list's current row (or the first row); empty code when none.
    QString currentRaceCode() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void previewReport(const Report &report);
    void buildRacePoint();
    void buildSunData();
    void buildDistances();
    void buildResults();
    void buildOtherClock();
    void buildSeason();
    void openRaceList();
    void fillClubs();
    void fillSites();
    void showOnly(QWidget *panel);
    void clearEditFields();
    bool loadRaceIntoEditor();
    void fillResult();
    void fillOtherClockGrid();
    std::optional<RaceInfo> chosenRace() const;
    QString coordinateText(QLineEdit *e) const;

    bool editMode_ = false;
    bool addMode_ = false;
    QString loadedRaceCode_;
    QString sortText_;
    QStringList siteAbbreviations_;
    QString chosenRaceCode_; // the race the action list or a double click was used on
    QString otherClockLoft_;
};
