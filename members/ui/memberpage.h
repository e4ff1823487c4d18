#pragma once

#include "app/ui/page.h"
#include "members/memberlists.h"
#include "members/rings.h"

#include <QHash>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
class QGroupBox;
class RecordTable;
class TDBGrid;
class TRadioGroup;
struct MemberForm;

// The member page: member list, member entry form, a member's rings with the ring entry, and a
// member's clocks. The work is done by the operations in members/; handlers read the controls,
// call them and refresh the grids.
class TfrmMember_10 : public TPage
{
    Q_OBJECT
public:
    explicit TfrmMember_10(TdmORVS &dm, QWidget *parent = nullptr);

    void FormShow() override;
    bool canLeave() override;
    void Caption_Language_Update();

    // Member list and entry form.
    void btnMemNewClick();
    void butPrtMemListClick();
    void butPrtRingListClick();
    void btnOKClick();
    void btnCancelClick();
    void rgMemClick(int item);
    void dbgrdMemDblClick();
    // Leaving a coordinate box checks the other one; false keeps the focus where it is.

    // Rings.
    void openRingList();
    void cbbCountryRingCodeSelect();
    void btnNewClick(bool range);
    void btnOK_RingClick();
    void btnCan_RingClick();
    void rgMemRingClick(int item);
    void dbgrdMemRingCellClick(int row, int column);
    void toggleMultDel();
    void btnDelALLClick();

    // Feather colours.
    void AAdd1Click();
    void DDelete1Click();
    void btnFColorSaveClick();
    void btnFColorCancelClick();

    // Clocks.
    void openClockList();
    void rgClockListClick(int item);

    // Loft data download and the notice that hides itself.
    void LoftDataDownload();
    void timerDLMsgTimer();

    // Pigeon workbooks and the member list file.
    void btnPigImportClick();
    void btnPigExportClick();
    void btnRingExportClick();
    void btnCoteClick();

    // The selected member (member list) and ring (ring list); empty when none.
    QString selectedLoftNo() const;
    QString selectedLoftName() const;
    QString selectedRing() const;

    // Controls, named as the captions and tests know them.
    QLabel *lblTitle;
    QWidget *pnlMem, *pnlNewMember, *pnlMemRing, *pnlClockList;
    TDBGrid *dbgrdMem, *dbgrdMemRing, *dbgrdClockList;
    MemberList *adoqDBGridLoft;
    RingList *adoqDBGridMRing;
    ClockList *adoqClockList;
    QLabel *lblMemCnt, *lblRingCnt, *lblClockListTitle, *lblClockListSum, *panelLoftDL;
    TRadioGroup *rgMem, *rgMemRing, *rgClockList;
    QPushButton *btnMemNew, *butPrtMemList, *btnCote, *btnOK, *btnCancel;
    QLineEdit *edtUnionCode, *edtSeriesNo, *edtName, *edtStreet, *edtToneCity, *edtPostCode, *edtPhone, *edtEMail;
    QLineEdit *medtLoftLon, *medtLoftLat;
    QPlainTextEdit *mmoNote;
    QComboBox *cbbCountryRingCode, *combBYear, *cbbSex, *cbbBColour;
    QLineEdit *edtRegLetter, *edtRegNum, *edtUpRegNum;
    QLabel *lblUpRegNum;
    QPlainTextEdit *mmoComment;
    QWidget *pnlRingEntry;
    QPushButton *btnNew, *btnNew2, *btnOK_Ring, *btnCan_Ring, *btnDelALL;
    QPushButton *btnPigImport, *btnPigExport, *btnRingExport, *butPrtRingList;
    QProgressBar *pbImport;     // the running import's rows
    QLabel *lblImportProgress; // "row 4,200 of 10,000"
    QMenu *pmFeatherColor;
    QGroupBox *grpBirdColor;
    QLineEdit *edtColorCode, *edtColorName;
    QPushButton *btnFColorSave, *btnFColorCancel;
    QTimer *timerDLMsg;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildMemberList();
    QWidget *buildMemberForm();
    QWidget *buildRingPanel();
    QWidget *buildRingEntry();
    QWidget *buildClockList();
    void showPanel(QWidget *panel);
    void hideMenus();
    void loadMembers();
    void loadRings(const QString &moveTo = {});
    void loadClocks();
    void fillColourBox();
    void editMember(const MemberForm &form, bool isNew);
    MemberForm readMemberForm() const;
    RingEntry readRingEntry() const;
    void lockRingParts(bool locked);
    void titleClick(TDBGrid *grid, const QString &field);
    bool ringEventFilter(QObject *watched, QEvent *event);
    // Runs a handler; a database failure ends it with the store's message.
    void guarded(const std::function<void()> &fn);

    QString ringLoftNo_;   // the member whose rings are shown
    QString ringLoftName_;
    QString clockLoftNo_;  // the member whose clocks are shown
};
