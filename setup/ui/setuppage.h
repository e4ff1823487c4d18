#pragma once

#include "app/ui/page.h"
#include "setup/clubsetup.h"

class QComboBox;
class QDialog;
class QLineEdit;
class QSpinBox;
class QLabel;
class QPushButton;

// The club's own record: name, abbreviation, address, association, language, units, backup age
// and copies. Stored when the page is closed.
class TfrmSetup_10 : public TPage
{
    Q_OBJECT
public:
    explicit TfrmSetup_10(TdmORVS &dm, QWidget *parent = nullptr);

    void FormShow() override;
    void FormClose() override;
    void cbbClubNameClick();
    void btnBackNowClick();
    void btnLoadBkClick();
    void butClubDownloadClick();
    void Caption_Language_Update();
    // Offers the program's translations of the language chosen in the language box ("Load
    // Translations", or choosing a language the database holds no captions for).
    void loadCaptions(bool whenMissing);
    int ClubUpdateStat() const { return clubUpdateStat_; }
    // The club's record as the fields hold it.
    ClubForm form() const;
    // Stores the record; true when ClubUpdateStat is 1.
    bool store();
    // Marks the abbreviation and association fields left empty and puts the cursor in the first.
    void markMissing();
    // OK of the first-run window: closes it only once the club's record is stored.
    void okFirstRun(QDialog *dlg);

    // The first-run window: the page shown modally; returns ClubUpdateStat after it closed.
    static int runFirstRun(TdmORVS &dm, QWidget *parent);

    QComboBox *cbbClubName;
    QLineEdit *edtClubName;
    QLineEdit *edtClubAbbt;
    QLineEdit *edtClubStreet;
    QLineEdit *edtClubToneCity;
    QLineEdit *edtPostCode;
    QLineEdit *edtAssociation;
    QComboBox *cbbLangue;
    QComboBox *cbbMode;
    QComboBox *cbbDistMethod; // club formula or WGS84 geodesic
    QSpinBox *udDate;
    QSpinBox *udCopies;
    QPushButton *btnBackNow;
    QPushButton *btnLoadBk;
    QPushButton *butClubDownload;
    QLabel *lblAntennaWait; // shown while the club download waits for the antenna
    QPushButton *btnLoadCaptions;
    QLabel *lbBackupFolder; // where the automatic backups of this club are

private:
    int clubUpdateStat_ = 0;
    bool closed_ = false;
    bool restored_ = false; // the database was replaced: the program ends, nothing more is stored
};
