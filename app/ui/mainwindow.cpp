#include "app/ui/mainwindow.h"

#include "app/startup.h"
#include "app/ui/captionapply.h"
#include "app/ui/dialogs.h"
#include "app/ui/helpwindow.h"
#include "app/ui/page.h"
#include "app/ui/picture.h"
#include "store/appclock.h"
#include "store/sqlerror.h"
#include "store/tableobject.h"
#include "store/tdmorvs.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <map>

namespace {
std::map<int, Pages::Factory> &factories()
{
    static std::map<int, Pages::Factory> f;
    return f;
}
Pages::FirstRun firstRunFn;
int backupNoticeMs = 2000;
} // namespace

void Pages::setFactory(int button, Factory f)
{
    factories()[button] = std::move(f);
}

Pages::Factory Pages::factory(int button)
{
    const auto it = factories().find(button);
    return it == factories().end() ? Factory() : it->second;
}

void Pages::setFirstRun(FirstRun f)
{
    firstRunFn = std::move(f);
}

Pages::FirstRun Pages::firstRun()
{
    return firstRunFn;
}

void TfrmMenu_V8_EU_10_TC::setBackupNoticeMs(int ms)
{
    backupNoticeMs = ms;
}

TfrmMenu_V8_EU_10_TC::TfrmMenu_V8_EU_10_TC(TdmORVS &dm, QWidget *parent) : QMainWindow(parent), dm_(dm)
{
    setObjectName(QStringLiteral("frmMenu_V8_EU_10_TC"));
    setWindowTitle(Dialogs::programTitle());
    resize(1360, 738);
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        // within the screen's free area (1366 x 768 less the task bar), title bar included
        const QRect free = s->availableGeometry();
        resize(qMin(1360, free.width()), qMin(738, free.height() - 32));
        move(free.x() + qMax(0, (free.width() - width()) / 2), free.y());
    }

    toolBar_ = addToolBar(QStringLiteral("Pages"));
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar_->setStyleSheet(QStringLiteral("QToolButton { padding: 6px 14px; font-weight: 600; }"));
    const char *const captions[] = {"&H Home", "&C Clock Operation", "&M Member", "&R Races", "&S Setup"};
    // Alt+H … Alt+S: the buttons' underlined letters (showButtonTexts) are the shortcuts.
    for (int i = 0; i < 5; ++i) {
        QAction *a = toolBar_->addAction(QString::fromLatin1(captions[i]));
        a->setObjectName(QStringLiteral("actToolButton%1").arg(i + 1));
        a->setCheckable(true);
        toolBar_->widgetForAction(a)->setObjectName(QStringLiteral("ToolButton%1").arg(i + 1));
        connect(a, &QAction::triggered, this, [this, i] { openPage(i + 1); });
    }

    // Help and About stand apart at the right end; F1 opens the manual at the page shown.
    auto *spacer = new QWidget(toolBar_);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolBar_->addWidget(spacer);
    QAction *help = toolBar_->addAction(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("actHelp"));
    help->setShortcut(QKeySequence::HelpContents);
    help->setShortcutContext(Qt::ApplicationShortcut);
    connect(help, &QAction::triggered, this, &TfrmMenu_V8_EU_10_TC::showHelp);
    QAction *about = toolBar_->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("actAbout"));
    connect(about, &QAction::triggered, this, [this] { AboutBox::show(this); });
    showButtonTexts();

    pnlMain_ = new QWidget(this);
    pnlMain_->setObjectName(QStringLiteral("pnlMain"));
    auto *lay = new QVBoxLayout(pnlMain_);
    lay->setContentsMargins(0, 0, 0, 0);
    picture_ = new TPicturePanel(pnlMain_);
    lay->addWidget(picture_);
    // A page taller or wider than the window scrolls inside it; the window never outgrows the screen.
    pageArea_ = new QScrollArea(pnlMain_);
    pageArea_->setObjectName(QStringLiteral("pageArea"));
    pageArea_->setFrameShape(QFrame::NoFrame);
    pageArea_->setWidgetResizable(true);
    pageArea_->hide();
    lay->addWidget(pageArea_);
    setCentralWidget(pnlMain_);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));

    // First run: the club's record comes before anything else.
    if (ClubSettings::load(dm_).present)
        return;
    const Pages::FirstRun fr = Pages::firstRun();
    const int stat = fr ? fr(dm_, this) : 0;
    clubReady_ = stat == 1;
}

TfrmMenu_V8_EU_10_TC::~TfrmMenu_V8_EU_10_TC()
{
    delete currentForm_;
    currentForm_ = nullptr;
}

void TfrmMenu_V8_EU_10_TC::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    QTimer::singleShot(0, this, &TfrmMenu_V8_EU_10_TC::FormShow);
}

void TfrmMenu_V8_EU_10_TC::FormShow()
{
    if (!clubReady_) {
        close();
        return;
    }
    QMessageBox box(QMessageBox::Information, Dialogs::programTitle(),
                    QStringLiteral("Access DB Backup Now, Please. Wait !"), QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("BackupNotice"));
    QTimer::singleShot(backupNoticeMs, &box, &QMessageBox::accept);
    box.exec();
    takeBackup();
    Caption_Language_Update();
}

void TfrmMenu_V8_EU_10_TC::showHelp()
{
    THelpWindow::showSection(THelpWindow::sectionFor(currentForm_ ? currentForm_->formName() : QString()), this);
}

void TfrmMenu_V8_EU_10_TC::takeBackup()
{
    // The program that writes the club backs it up; a second one reading it would only race it.
    if (dm_.readOnly()) {
        statusBar()->showMessage(QStringLiteral("No automatic backup: the club is open for reading only."));
        return;
    }
    const auto r = Startup::automaticBackup(dm_, ClubSettings::load(dm_).backupDays, AppClock::today());
    // The secretary must learn that no backup was taken, without the program stopping.
    if (r.outcome == Startup::BackupResult::Failed)
        statusBar()->showMessage(QStringLiteral("Database backup failed: %1").arg(r.error));
}

void TfrmMenu_V8_EU_10_TC::Caption_Language_Update()
{
    applyCaptions(this, QStringLiteral("frmMenu_V8_EU_10_TC"), {Captions::Kind::ToolBar}, dm_);
    showButtonTexts();
}

QString TfrmMenu_V8_EU_10_TC::buttonText(const QString &caption)
{
    // "&H Home" names its shortcut letter before the word: the button underlines the letter in
    // the word ("&Home"), or adds it when the word lacks it ("Start (&H)").
    static const QRegularExpression form(QStringLiteral("^&(\\w) (.+)$"));
    const QRegularExpressionMatch m = form.match(caption);
    if (!m.hasMatch())
        return caption;
    const QString letter = m.captured(1), word = m.captured(2);
    const qsizetype at = word.indexOf(letter, 0, Qt::CaseInsensitive);
    if (at < 0)
        return QStringLiteral("%1 (&%2)").arg(word, letter);
    return word.left(at) + QLatin1Char('&') + word.mid(at);
}

void TfrmMenu_V8_EU_10_TC::showButtonTexts()
{
    const auto acts = toolBar_->actions();
    for (int i = 0; i < 5 && i < acts.size(); ++i) {
        QAction *a = acts[i];
        const QString shown = buttonText(a->text());
        // The tool button shows the icon text; set, it keeps its "&" (the underline and Alt+letter).
        a->setIconText(shown);
        QString plain = shown;
        plain.remove(QLatin1Char('&'));
        const qsizetype amp = shown.indexOf(QLatin1Char('&'));
        a->setToolTip(amp >= 0 ? QStringLiteral("%1 (Alt+%2)").arg(plain, shown.at(amp + 1).toUpper()) : plain);
    }
}

void TfrmMenu_V8_EU_10_TC::ClosePage()
{
    if (!currentForm_)
        return;
    TPage *p = currentForm_;
    currentForm_ = nullptr;
    p->FormClose();
    p->hide();
    pageArea_->takeWidget();
    pageArea_->hide();
    delete p;
    picture_->show();
}

void TfrmMenu_V8_EU_10_TC::openPage(int button)
{
    if (currentForm_ && !currentForm_->canLeave()) {
        const auto acts = toolBar_->actions();
        for (QAction *a : acts)
            a->setChecked(false);
        for (int i = 0; i < 5 && i < acts.size(); ++i)
            acts[i]->setChecked(currentForm_->property("toolButton").toInt() == i + 1);
        return;
    }
    ClosePage();
    Caption_Language_Update(); // the setup page just closed may have stored another language
    const auto acts = toolBar_->actions();
    for (int i = 0; i < acts.size(); ++i)
        acts[i]->setChecked(i == button - 1);
    const Pages::Factory f = Pages::factory(button);
    if (!f)
        return;
    try {
        currentForm_ = f(dm_, pnlMain_);
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
        return;
    }
    currentForm_->setProperty("toolButton", button);
    DockPage();
}

void TfrmMenu_V8_EU_10_TC::DockPage()
{
    if (!currentForm_)
        return;
    picture_->hide();
    pageArea_->setWidget(currentForm_);
    pageArea_->show();
    currentForm_->show();
    try {
        currentForm_->FormShow();
    } catch (const SqlError &e) {
        Dialogs::error(this, e.message());
    }
}

void TfrmMenu_V8_EU_10_TC::closeEvent(QCloseEvent *e)
{
    if (!closing_ && currentForm_ && !currentForm_->canLeave()) {
        e->ignore();
        return;
    }
    if (!closing_) {
        closing_ = true;
        try {
            // A restored database has closed the connection: the program only ends.
            if (dm_.adocORVS().isOpen())
                Startup::purgeOldRaceData(dm_, AppClock::today());
        } catch (const SqlError &err) {
            Dialogs::error(this, err.message());
        }
        ClosePage();
    }
    e->accept();
}
