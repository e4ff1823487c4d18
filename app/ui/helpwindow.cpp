#include "app/ui/helpwindow.h"

#include "pennavox/version.h"

#include <QGuiApplication>
#include <QHash>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtGlobal>
#include <sqlite3.h>

namespace {
const QString Root = QStringLiteral("qrc:/manual/");
const QString Contents = QStringLiteral("index.html");
} // namespace

THelpWindow::THelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Pennavox manual"));
    resize(900, 700);
    txtHelp_ = new QTextBrowser(this);
    txtHelp_->setObjectName(QStringLiteral("txtHelp"));
    txtHelp_->setOpenExternalLinks(true);
    auto *home = new QPushButton(QStringLiteral("Contents"), this);
    home->setObjectName(QStringLiteral("btnHelpContents"));
    auto *back = new QPushButton(QStringLiteral("Back"), this);
    back->setObjectName(QStringLiteral("btnHelpBack"));
    connect(home, &QPushButton::clicked, this, [this] { openSection(Contents); });
    connect(back, &QPushButton::clicked, txtHelp_, &QTextBrowser::backward);
    connect(txtHelp_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(home);
    buttons->addWidget(back);
    buttons->addStretch();
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(buttons);
    lay->addWidget(txtHelp_, 1);
}

QString THelpWindow::sectionFor(const QString &formName)
{
    static const QHash<QString, QString> sections{
        {QStringLiteral("frmHome"), QStringLiteral("index.html")},
        {QStringLiteral("frmSynch_10_TC"), QStringLiteral("04-race-day.html")},
        {QStringLiteral("frmMember_10"), QStringLiteral("02-members-and-rings.html")},
        {QStringLiteral("frmRace_TC"), QStringLiteral("03-races-and-distances.html")},
        {QStringLiteral("frmSetup_10"), QStringLiteral("01-first-run.html")},
    };
    return sections.value(formName, Contents);
}

void THelpWindow::openSection(const QString &section)
{
    txtHelp_->setSource(QUrl(Root + section));
}

THelpWindow *THelpWindow::showSection(const QString &section, QWidget *near)
{
    static QPointer<THelpWindow> window;
    if (!window) {
        window = new THelpWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setAttribute(Qt::WA_QuitOnClose, false);
        if (near)
            window->move(near->window()->geometry().topLeft() + QPoint(60, 60));
    }
    window->openSection(section);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

namespace AboutBox {

QString text()
{
    return QStringLiteral(
               "<h3>Pennavox Club Management</h3>"
               "<p>Version %1</p>"
               "<p>Licence: GNU General Public License, version 3 or later. This program comes with "
               "no warranty.</p>"
               "<p>Built with: Qt %2 (LGPL 3), SQLite %3, GeographicLib, nettle, libxlsxwriter, "
               "liborcus; manual converted by cmark.</p>")
        .arg(QLatin1String(PENNAVOX_VERSION), QLatin1String(qVersion()), QLatin1String(sqlite3_libversion()));
}

void show(QWidget *parent)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About Pennavox"), text(), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("frmAbout"));
    box.setIconPixmap(QIcon(QStringLiteral(":/icons/pennavox.png")).pixmap(64, 64));
    box.exec();
}

} // namespace AboutBox
