#include "setup/ui/setuppage.h"
#include "device/devicelink.h"

#include "app/captionfiles.h"
#include "app/startup.h"
#include "app/ui/captionapply.h"
#include "app/ui/controls.h"
#include "app/ui/devicetask.h"
#include "app/ui/dialogs.h"
#include "app/ui/statusnote.h"
#include "device/twinapiv8.h"
#include "setup/backuprestore.h"
#include "setup/clubdownload.h"
#include "setup/clubsetup.h"
#include "store/appclock.h"
#include "store/orvsini.h"
#include "store/sqlerror.h"
#include "store/tdmorvs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

using Controls::edit;
using Controls::label;

TfrmSetup_10::TfrmSetup_10(TdmORVS &dm, QWidget *parent) : TPage(QStringLiteral("frmSetup_10"), dm, parent)
{
    cbbClubName = new QComboBox(this);
    cbbClubName->setObjectName(QStringLiteral("cbbClubName"));
    cbbClubName->setEditable(true);
    edtClubName = edit(this, "edtClubName", 50);
    edtClubAbbt = edit(this, "edtClubAbbt", 10, true);
    edtClubStreet = edit(this, "edtClubStreet", 50);
    edtClubToneCity = edit(this, "edtClubToneCity", 30);
    edtPostCode = edit(this, "edtPostCode", 10);
    edtAssociation = edit(this, "edtAssociation", 10, true);
    cbbLangue = new QComboBox(this);
    cbbLangue->setObjectName(QStringLiteral("cbbLangue"));
    cbbLangue->addItems({"English", "Czech", "Spanish", "Romania", "Deutsch", "French", "Hungary"});
    cbbMode = new QComboBox(this);
    cbbMode->setObjectName(QStringLiteral("cbbMode"));
    cbbMode->addItems({"m/min", "yds/min"});
    cbbDistMethod = new QComboBox(this);
    cbbDistMethod->setObjectName(QStringLiteral("cbbDistMethod"));
    cbbDistMethod->addItems(ClubSetup::DistanceMethods);
    udDate = new QSpinBox(this);
    udDate->setObjectName(QStringLiteral("edtDay"));
    udDate->setRange(0, 365);
    udDate->setValue(0);
    udCopies = new QSpinBox(this);
    udCopies->setObjectName(QStringLiteral("edtCopies"));
    udCopies->setRange(1, 5);
    udCopies->setValue(1);
    udCopies->setMaximumWidth(80);
    udDate->setMaximumWidth(80);
    connect(cbbClubName, QOverload<int>::of(&QComboBox::activated), this, [this] { cbbClubNameClick(); });

    auto *club = new QGroupBox(QStringLiteral("Club Data"), this);
    club->setObjectName(QStringLiteral("grpClubData"));
    auto *cf = new QFormLayout(club);
    cf->addRow(label(club, "lbClubName", QStringLiteral("Club :")), cbbClubName);
    cf->addRow(label(club, "lbClubFullName", QStringLiteral("Club Name :")), edtClubName);
    cf->addRow(label(club, "lbClubAbbt", QStringLiteral("Club Abbreviation :")), edtClubAbbt);
    cf->addRow(label(club, "lbStreet", QStringLiteral("Street :")), edtClubStreet);
    cf->addRow(label(club, "lbCity", QStringLiteral("City :")), edtClubToneCity);
    cf->addRow(label(club, "lbPostCode", QStringLiteral("Post Code :")), edtPostCode);
    cf->addRow(label(club, "lbAssociation", QStringLiteral("Association :")), edtAssociation);

    auto *opts = new QGroupBox(QStringLiteral("Options"), this);
    opts->setObjectName(QStringLiteral("grpOptions"));
    auto *of = new QFormLayout(opts);
    btnLoadCaptions = Controls::button(opts, "btnLoadCaptions", QStringLiteral("Load &Translations"));
    btnLoadCaptions->setToolTip(QStringLiteral("Store the program's translations of the chosen language"));
    connect(btnLoadCaptions, &QPushButton::clicked, this, [this] { loadCaptions(false); });
    connect(cbbLangue, QOverload<int>::of(&QComboBox::activated), this, [this] { loadCaptions(true); });
    auto *langRow = new QHBoxLayout;
    langRow->addWidget(cbbLangue, 1);
    langRow->addWidget(btnLoadCaptions);
    of->addRow(label(opts, "lbLanguage", QStringLiteral("Language :")), langRow);
    of->addRow(label(opts, "lbMode", QStringLiteral("Unit :")), cbbMode);
    of->addRow(label(opts, "lbDistMethod", QStringLiteral("Distance method :")), cbbDistMethod);
    auto *dayRow = new QHBoxLayout;
    dayRow->addWidget(udDate);
    dayRow->addWidget(label(opts, "lbDay", QStringLiteral("Day")));
    dayRow->addStretch();
    of->addRow(label(opts, "lbBackupAge",
                     QStringLiteral("What is the maximum age\nof the databases backup ? ")),
               dayRow);
    of->addRow(label(opts, "lbCopies", QStringLiteral("Copies :")), udCopies);

    auto *ver = new QGroupBox(QStringLiteral("Version"), this);
    ver->setObjectName(QStringLiteral("grpVersion"));
    auto *vf = new QFormLayout(ver);
    auto *programNo = label(ver, "lbProgramVersionNo", QStringLiteral("V8.80"));
    auto *pennavoxNo = label(ver, "lbPennavoxVersionNo", QStringLiteral("V8.80"));
    Captions::markFixed(programNo);
    Captions::markFixed(pennavoxNo);
    vf->addRow(label(ver, "lbProgramVersion", QStringLiteral("Program Version :")), programNo);
    vf->addRow(label(ver, "lbPennavoxVersion", QStringLiteral("Pennavox V8  Version :")), pennavoxNo);

    auto *backupGroup = new QGroupBox(QStringLiteral("Backup databases :"), this);
    backupGroup->setObjectName(QStringLiteral("grpBackup"));
    btnBackNow = Controls::button(backupGroup, "btnBackNow", QStringLiteral("&Backup"));
    btnLoadBk = Controls::button(backupGroup, "btnLoadBk", QStringLiteral("&Load Backup"));
    // Where the automatic backups of this club are, so the secretary can find and copy them.
    lbBackupFolder = Controls::valueLabel(backupGroup, "lbBackupFolder", QString());
    lbBackupFolder->setWordWrap(true);
    lbBackupFolder->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *bv = new QVBoxLayout(backupGroup);
    auto *bl = new QHBoxLayout;
    bl->addWidget(btnBackNow);
    bl->addWidget(btnLoadBk);
    bv->addLayout(bl);
    bv->addWidget(lbBackupFolder);
    butClubDownload = Controls::button(this, "butClubDownload", QStringLiteral("Club &Data Download"));
    butClubDownload->setToolTip(QStringLiteral("Write the club's stored record into the club antenna"));
    connect(btnBackNow, &QPushButton::clicked, this, &TfrmSetup_10::btnBackNowClick);
    connect(btnLoadBk, &QPushButton::clicked, this, &TfrmSetup_10::btnLoadBkClick);
    connect(butClubDownload, &QPushButton::clicked, this, &TfrmSetup_10::butClubDownloadClick);
    lblAntennaWait = Controls::valueLabel(this, "lblAntennaWait", QString());
    lblAntennaWait->setWordWrap(true);
    lblAntennaWait->setStyleSheet(QStringLiteral("background: yellow; padding: 4px;"));
    lblAntennaWait->hide();

    auto *title = label(this, "lbTitle", QStringLiteral("Setup"));
    Controls::setTitleFont(title);
    auto *hint = label(this, "lbSaveHint", QStringLiteral("The club's data are stored when this page is closed."));
    hint->setStyleSheet(QStringLiteral("color: palette(dark);"));

    auto *columns = new QHBoxLayout;
    columns->addWidget(club, 3);
    auto *rightCol = new QVBoxLayout;
    rightCol->addWidget(opts);
    rightCol->addWidget(ver);
    rightCol->addWidget(backupGroup);
    rightCol->addWidget(butClubDownload);
    rightCol->addWidget(lblAntennaWait);
    rightCol->addStretch();
    columns->addLayout(rightCol, 2);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(12, 12, 12, 12);
    lay->addWidget(title);
    lay->addLayout(columns);
    lay->addWidget(hint);
    lay->addStretch();
}

void TfrmSetup_10::FormShow()
{
    bool present = false;
    const ClubForm f = ClubSetup::load(dm(), OrvsIni(dm().dataFolder()).value(QStringLiteral("Language")), &present);
    cbbClubName->clear();
    cbbClubName->addItems(ClubSetup::clubBoxItems(dm()));
    if (cbbClubName->count() > 1)
        cbbClubName->insertSeparator(1);
    cbbClubName->setCurrentIndex(-1);
    cbbClubName->setEditText(QString());
    cbbLangue->setCurrentIndex(f.language);
    if (!present) {
        edtClubName->setFocus();
    } else {
        edtClubName->setText(f.name);
        edtClubAbbt->setText(f.abbreviation);
        edtClubStreet->setText(f.street);
        edtClubToneCity->setText(f.city);
        edtPostCode->setText(f.postCode);
        cbbMode->setCurrentIndex(f.mode);
        cbbDistMethod->setCurrentIndex(f.distanceMethod);
        edtAssociation->setText(f.association);
        udDate->setValue(f.days.toInt());
        cbbClubName->setEditText(f.clubBoxText);
        udCopies->setValue(qBound(1, f.copies.toInt(), 5));
        cbbClubName->setFocus();
    }
    lbBackupFolder->setText(QStringLiteral("Automatic backups: %1")
                                .arg(QDir::toNativeSeparators(Startup::backupFolderFor(dm()))));
    Caption_Language_Update();
}

void TfrmSetup_10::Caption_Language_Update()
{
    using K = Captions::Kind;
    applyCaptions(this, formName(), {K::ToolBar, K::Label, K::Button, K::RadioGroup, K::GroupBox, K::CheckBox,
                                     K::PageControl},
                  dm(), cbbLangue->currentIndex());
}

void TfrmSetup_10::loadCaptions(bool whenMissing)
{
    DialogSink sink(this);
    try {
        CaptionFiles::offerShipped(dm(), Captions::languageName(cbbLangue->currentIndex()), sink, whenMissing);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    Caption_Language_Update(); // the page speaks the chosen language at once
}

void TfrmSetup_10::cbbClubNameClick()
{
    const QString text = cbbClubName->currentText();
    if (text == ClubSetup::Custom) {
        edtClubName->setReadOnly(false);
        edtClubAbbt->setReadOnly(false);
        edtClubName->setFocus();
        return;
    }
    QString name, id;
    if (ClubSetup::lookupClub(dm(), text, &name, &id)) {
        edtClubName->setText(name);
        edtClubAbbt->setText(id);
        edtClubName->setReadOnly(true);
        edtClubAbbt->setReadOnly(true);
    }
}

void TfrmSetup_10::btnBackNowClick()
{
    const QString file = Dialogs::saveFile(this, QStringLiteral("Backup"), BackupRestore::FileFilter);
    DialogSink sink(this);
    BackupRestore::backup(dm(), file, AppClock::today(), sink);
}

void TfrmSetup_10::btnLoadBkClick()
{
    const QString file = Dialogs::openFile(this, QStringLiteral("Load Backup"), BackupRestore::FileFilter);
    DialogSink sink(this);
    if (!BackupRestore::restore(dm(), file, sink))
        return;
    // The program ends; the secretary starts it again on the restored data.
    restored_ = true;
    closed_ = true;
    if (QDialog *dlg = qobject_cast<QDialog *>(window()); dlg && dlg->isModal())
        dlg->reject();
    QCoreApplication::exit(0);
}

void TfrmSetup_10::butClubDownloadClick()
{
    DialogSink sink(this);
    // Without an antenna every command waits out its time: say so at once, and for how long.
    const QString wait = QStringLiteral("Waiting for the club antenna on %1: up to %2 seconds for each answer …")
                             .arg(DeviceLink::describe())
                             .arg(TWinApiV8::FirstByteTimeoutMs / 1000);
    lblAntennaWait->setText(wait);
    lblAntennaWait->show();
    StatusNote::show(this, wait, 0);
    // The antenna may take seconds to answer: the download runs on a thread of its own.
    DeviceTask::run(this, dm().dataFolder(), sink, [](TdmORVS &db, TWinApiV8 &driver, OperationSink &s) {
        return ClubDataDownload(db, driver, s).run();
    });
    lblAntennaWait->hide();
    StatusNote::clear(this);
}

ClubForm TfrmSetup_10::form() const
{
    ClubForm f;
    f.clubBoxText = cbbClubName->currentText();
    f.name = edtClubName->text();
    f.abbreviation = edtClubAbbt->text();
    f.street = edtClubStreet->text();
    f.city = edtClubToneCity->text();
    f.postCode = edtPostCode->text();
    f.association = edtAssociation->text();
    f.language = cbbLangue->currentIndex();
    f.mode = cbbMode->currentIndex();
    f.distanceMethod = cbbDistMethod->currentIndex();
    f.days = udDate->text();
    f.copies = udCopies->text();
    return f;
}

bool TfrmSetup_10::store()
{
    DialogSink sink(this);
    clubUpdateStat_ = 0;
    try {
        clubUpdateStat_ = ClubSetup::save(dm(), form(), sink);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
    return clubUpdateStat_ == 1;
}

void TfrmSetup_10::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    if (store())
        StatusNote::show(this, QStringLiteral("Club data saved."));
}

void TfrmSetup_10::markMissing()
{
    QLineEdit *first = nullptr;
    for (QLineEdit *e : {edtClubAbbt, edtAssociation}) {
        const bool missing = e->text().trimmed().isEmpty();
        e->setProperty("missing", missing);
        e->setStyleSheet(missing ? QStringLiteral("QLineEdit { border: 2px solid #d03030; background: #fff0f0; }")
                                 : QString());
        if (missing && !first)
            first = e;
    }
    if (first)
        first->setFocus();
}

void TfrmSetup_10::okFirstRun(QDialog *dlg)
{
    if (store()) {
        closed_ = true;
        dlg->accept();
        return;
    }
    markMissing();
}

int TfrmSetup_10::runFirstRun(TdmORVS &dm, QWidget *parent)
{
    QDialog dlg(parent);
    dlg.setObjectName(QStringLiteral("dlgFirstRun"));
    dlg.setWindowTitle(QStringLiteral("Club Setup"));
    dlg.resize(900, 520);
    auto *page = new TfrmSetup_10(dm, &dlg);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    // OK stores the club or keeps the window open on what is missing; Cancel or the window's close
    // leave without a club, and the program ends.
    QObject::connect(buttons, &QDialogButtonBox::accepted, page, [page, &dlg] { page->okFirstRun(&dlg); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    for (QLineEdit *e : {page->edtClubAbbt, page->edtAssociation})
        QObject::connect(e, &QLineEdit::textEdited, e, [e] {
            e->setProperty("missing", false);
            e->setStyleSheet(QString());
        });
    auto *lay = new QVBoxLayout(&dlg);
    lay->addWidget(page);
    lay->addWidget(buttons);
    page->FormShow();
    // Here OK stores the club, not the page's closing.
    if (auto *hint = page->findChild<QLabel *>(QStringLiteral("lbSaveHint"))) {
        hint->setText(QStringLiteral("OK stores the club; Cancel ends the program."));
        Captions::markFixed(hint); // the page's own hint, which a language chosen here would bring back
    }
    dlg.exec();
    page->closed_ = true; // leaving without OK stores nothing
    return page->restored_ || dlg.result() != QDialog::Accepted ? 0 : page->ClubUpdateStat();
}
