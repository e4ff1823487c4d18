// The translations shipped with the program: every control of every page and every report label
// has its rows in every language, and choosing a language changes every page and report to them.
// PENNAVOX_CAPTION_DUMP=FILE writes the English captions of every page and report in the file form.
#include "../support/recordingsink.h"
#include "../support/testdb.h"

#include "app/captionfiles.h"
#include "app/captions.h"
#include "app/ui/captionapply.h"
#include "app/ui/dialogs.h"
#include "app/ui/homepage.h"
#include "app/ui/mainwindow.h"
#include "clockops/clockviews.h"
#include "clockops/ui/clockpage.h"
#include "device/devicelink.h"
#include "members/memberlists.h"
#include "members/ui/memberpage.h"
#include "races/raceinfo.h"
#include "races/racelists.h"
#include "races/ui/racepage.h"
#include "report/clockreports.h"
#include "report/memberreports.h"
#include "report/racereports.h"
#include "season/championship.h"
#include "season/print/seasonreports.h"
#include "season/seasonlists.h"
#include "setup/ui/setuppage.h"
#include "sim/clocksimulator.h"
#include "sim/simlink.h"

#include <QBuffer>
#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QKeySequence>
#include <QToolBar>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>
#include <map>
#include <memory>

namespace {
// One caption: (form, control, position) -> text.
using Key = std::tuple<QString, QString, int>;
using Captions_ = std::map<Key, QString>;

QString keyText(const Key &k)
{
    return QString("%1 %2 %3").arg(std::get<0>(k), std::get<1>(k)).arg(std::get<2>(k));
}

// Every printed report, over empty lists: their labels are what a caption file must hold.
std::vector<std::unique_ptr<Report>> allReports(TdmORVS &dm)
{
    std::vector<std::unique_ptr<Report>> out;
    RaceInfo race;
    race.liberSite = "Peronne";
    out.push_back(RaceReports::raceList(dm, RaceList(dm)));
    out.push_back(RaceReports::memberDistances(dm, DistanceList(dm, false), RaceReports::distancePanelTitle("Peronne")));
    out.push_back(RaceReports::raceStatus(dm, RaceStatusList(dm), RaceReports::statusPanelTitle("Peronne"), race));
    out.push_back(RaceReports::raceResult(dm, RaceResultList(dm), race, "summary"));
    out.push_back(ClockReports::markedList(dm, MarkedList(dm), "race", "1234"));
    out.push_back(ClockReports::raceResult(dm, ClockResultList(dm), "race", "1234"));
    out.push_back(MemberReports::memberList(dm, MemberList(dm)));
    out.push_back(MemberReports::ringList(dm, RingList(dm), "Alice", "L1"));
    Championship c;
    c.name = "Season";
    // The season's reports keep only a guarded pointer to their list: labels outlive it.
    AceStandingList aces;
    LoftStandingList lofts;
    PrizeListTable prizes;
    out.push_back(SeasonReports::standings(dm, aces, c));
    out.push_back(SeasonReports::standings(dm, lofts, c));
    out.push_back(SeasonReports::prizeList(dm, prizes, "race", "summary"));
    return out;
}

void addReportCaptions(TdmORVS &dm, Captions_ &out)
{
    for (const auto &r : allReports(dm))
        for (const auto &[name, text] : r->captionLabels())
            out[{r->formName(), name, 0}] = text;
}

// The main window and the five pages, shown as the program shows them.
struct AllPages
{
    TestDb db;
    ClockSimulator sim;
    std::vector<QWidget *> pages;

    AllPages()
    {
        db.insertClub();
        ClockSimulator *s = &sim;
        DeviceLink::setFactory([s] { return std::make_unique<SimLink>(*s); });
        pages = {new TfrmMenu_V8_EU_10_TC(db.dm()), new TfrmHome(db.dm()),    new TfrmSynch_10_TC(db.dm()),
                 new TfrmMember_10(db.dm()),        new TfrmRace_TC(db.dm()), new TfrmSetup_10(db.dm())};
    }
    ~AllPages()
    {
        for (QWidget *w : pages)
            delete w;
        DeviceLink::setFactory({});
    }
    void show()
    {
        for (QWidget *w : pages) {
            if (auto *p = qobject_cast<TPage *>(w))
                p->FormShow();
            else
                qobject_cast<TfrmMenu_V8_EU_10_TC *>(w)->Caption_Language_Update();
        }
    }
    // As designed (English), whatever the language shown.
    Captions_ design()
    {
        Captions_ out;
        for (QWidget *w : pages)
            for (const auto &[name, texts] : designCaptions(w))
                for (int i = 0; i < texts.size(); ++i)
                    out[{captionFormName(w), name, i}] = texts[i];
        addReportCaptions(db.dm(), out);
        return out;
    }
    // As shown now, for the controls of design().
    Captions_ shown(const Captions_ &design)
    {
        Captions_ out;
        Captions_ reports;
        addReportCaptions(db.dm(), reports);
        for (const auto &[k, text] : design) {
            if (reports.count(k)) {
                out[k] = reports[k];
                continue;
            }
            for (QWidget *w : pages) {
                if (captionFormName(w) != std::get<0>(k))
                    continue;
                QObject *o = w->objectName() == std::get<1>(k) ? w : w->findChild<QObject *>(std::get<1>(k));
                const QStringList texts = captionTexts(o, Captions::kindOf(std::get<1>(k)));
                out[k] = std::get<2>(k) < texts.size() ? texts[std::get<2>(k)] : QString();
            }
        }
        return out;
    }
};

Captions_ rowsOf(const CaptionFiles::File &f)
{
    Captions_ out;
    for (const auto &e : f.entries)
        out[{e.formName, e.objectCode, e.property}] = e.caption;
    return out;
}

QStringList placeholders(const QString &s)
{
    QStringList out;
    auto it = QRegularExpression("%\\d").globalMatch(s);
    while (it.hasNext())
        out << it.next().captured();
    out.sort();
    return out;
}

bool parseText(const QByteArray &text, CaptionFiles::File *f, QString *error)
{
    QBuffer b;
    b.setData(text);
    b.open(QIODevice::ReadOnly);
    return CaptionFiles::parse(b, f, error);
}
} // namespace

class TestCaptionFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Dialogs::setHeadless(true);
        TfrmMenu_V8_EU_10_TC::setBackupNoticeMs(1);
    }

    void fileFormReadsBackAndNamesTheBadLine()
    {
        CaptionFiles::File f;
        f.language = "Deutsch";
        f.entries = {{"frmHome", "lbClocks", 0, "Uhren"}, {"frmSetup_10", "lbBackupAge", 1, "tab\there \\n\nzwei"}};
        QBuffer buf;
        buf.open(QIODevice::ReadWrite);
        CaptionFiles::write(buf, f);
        CaptionFiles::File back;
        QString error;
        QVERIFY2(parseText(buf.data(), &back, &error), qPrintable(error));
        QCOMPARE(back.language, QString("Deutsch"));
        QCOMPARE(rowsOf(back), rowsOf(f));
        // Lines ended by CR alone (older Mac editors) or by CR LF read the same.
        for (const char *end : {"\r", "\r\n"}) {
            QByteArray other = buf.data();
            other.replace("\n", end);
            CaptionFiles::File again;
            QVERIFY2(parseText(other, &again, &error), qPrintable(error));
            QCOMPARE(rowsOf(again), rowsOf(f));
        }
        QVERIFY(!parseText("Language\tfr\rfrmHome\tlbClocks\tx\tHorloges\r", &back, &error));
        QCOMPARE(error, QString("line 2: the order \"x\" is not a number"));

        const std::pair<const char *, const char *> bad[] = {
            {"Language\tKlingon\n", "line 1: unknown language \"Klingon\""},
            {"# c\n\nLanguage\tde\nfrmHome\tlbClocks\tUhren\n", "line 4: 4 fields separated by tabs expected, found 3"},
            {"frmHome\tlbClocks\t0\tUhren\n", "line 1: a \"Language\" line must come first"},
            {"Language\tfr\nfrmHome\tlbClocks\tx\tHorloges\n", "line 2: the order \"x\" is not a number"},
            {"Language\tfr\nfrmHome\tlbClocks\t0\tA\nfrmHome\tlbClocks\t0\tB\n", "line 3: frmHome lbClocks 0 given twice"},
            {"Language\tfr\nLanguage\tde\n", "line 2: a second \"Language\" line"},
            {"# nothing\n", "line 1: no \"Language\" line"},
        };
        for (const auto &[text, why] : bad) {
            QVERIFY2(!parseText(text, &back, &error), text);
            QCOMPARE(error, QString(why));
        }
        QCOMPARE(CaptionFiles::languageFromText("German"), QString("Deutsch"));
        QCOMPARE(CaptionFiles::languageFromText("HU"), QString("Hungary"));
        QCOMPARE(CaptionFiles::languageFromText("Romania"), QString("Romania"));
        QCOMPARE(CaptionFiles::languageFromText("English"), QString());
    }

    void everyControlHasARowInEveryLanguage()
    {
        AllPages p;
        p.show();
        const Captions_ english = p.design();
        QVERIFY(english.size() > 200);
        const QString dump = qEnvironmentVariable("PENNAVOX_CAPTION_DUMP");
        if (!dump.isEmpty()) {
            CaptionFiles::File f;
            f.language = "English";
            for (const auto &[k, text] : english)
                f.entries.push_back({std::get<0>(k), std::get<1>(k), std::get<2>(k), text});
            QString error;
            QVERIFY2(CaptionFiles::save(dump, f, &error), qPrintable(error));
        }
        for (const QString &lang : CaptionFiles::languages()) {
            const Captions_ rows = rowsOf(CaptionFiles::shipped(lang));
            QStringList missing, stale, marks;
            for (const auto &[k, text] : english) {
                const auto it = rows.find(k);
                if (it == rows.end())
                    missing << keyText(k) + " \"" + text + "\"";
                else if (placeholders(it->second) != placeholders(text) ||
                         (it->second.trimmed().isEmpty() && !text.trimmed().isEmpty()))
                    marks << keyText(k);
            }
            for (const auto &[k, text] : rows)
                if (!english.count(k))
                    stale << keyText(k);
            QVERIFY2(missing.isEmpty(), qPrintable(lang + " lacks: " + missing.join(", ")));
            QVERIFY2(stale.isEmpty(), qPrintable(lang + " has rows for no control: " + stale.join(", ")));
            QVERIFY2(marks.isEmpty(), qPrintable(lang + " empty or placeholders differ: " + marks.join(", ")));
        }
    }

    void choosingALanguageChangesEveryPageAndReport()
    {
        AllPages p;
        QVERIFY(CaptionFiles::loadShipped(p.db.dm()) > 0);
        p.show();
        const Captions_ english = p.design();
        for (int language = 1; language <= 6; ++language) {
            p.db.dm().exec("UPDATE ORV_ClubData SET Language=?", {language});
            p.show();
            const Captions_ shown = p.shown(english);
            const Captions_ expected = rowsOf(CaptionFiles::shipped(Captions::languageName(language)));
            std::map<QString, int> changed;
            for (const auto &[k, text] : english) {
                // a grid's unit title follows the club's unit, not the caption file
                const QString want = Captions::isUnitTitle(text) ? text : expected.at(k);
                QCOMPARE(keyText(k) + " " + shown.at(k), keyText(k) + " " + want);
                changed[std::get<0>(k)] += shown.at(k) != text;
            }
            for (const auto &[form, n] : changed)
                QVERIFY2(n > 0, qPrintable(form + " reads as in English"));
            QVERIFY(changed.size() >= 6 + 11);
        }
        // A page shown in the main window keeps its captions when the tool bar is translated.
        Pages::setFactory(3, [](TdmORVS &dm, QWidget *parent) { return new TfrmMember_10(dm, parent); });
        auto *menu = qobject_cast<TfrmMenu_V8_EU_10_TC *>(p.pages.front());
        menu->openPage(3);
        menu->Caption_Language_Update();
        const QString memNew = menu->findChild<QPushButton *>("btnMemNew")->text();
        QCOMPARE(memNew, rowsOf(CaptionFiles::shipped("Hungary")).at({"frmMember_10", "btnMemNew", 0}));
        menu->ClosePage();
        Pages::setFactory(3, {});

        // English again: every page and report as designed.
        p.db.dm().exec("UPDATE ORV_ClubData SET Language=0");
        p.show();
        QCOMPARE(p.shown(english), english);
    }

    // Alt+H … Alt+S open the pages from anywhere: no button of a page may take one of their
    // letters, and no two buttons of a page share one, in any language.
    void noShortcutTwiceOnAPage()
    {
        AllPages p;
        QVERIFY(CaptionFiles::loadShipped(p.db.dm()) > 0);
        for (int language = 0; language <= 6; ++language) {
            p.db.dm().exec("UPDATE ORV_ClubData SET Language=?", {language});
            p.show();
            auto *menu = qobject_cast<TfrmMenu_V8_EU_10_TC *>(p.pages.front());
            std::map<QChar, QString> toolBar;
            for (QAction *a : menu->toolBar()->actions()) {
                const QKeySequence k = QKeySequence::mnemonic(a->iconText());
                if (!k.isEmpty())
                    toolBar[QKeySequence(k[0].key()).toString().at(0)] = a->iconText();
            }
            QCOMPARE(toolBar.size(), size_t(5));
            for (QWidget *w : p.pages) {
                if (w == menu)
                    continue;
                std::map<QChar, QString> taken = toolBar;
                for (QAbstractButton *b : w->findChildren<QAbstractButton *>()) {
                    const QKeySequence k = QKeySequence::mnemonic(b->text());
                    if (k.isEmpty())
                        continue;
                    const QChar letter = QKeySequence(k[0].key()).toString().at(0);
                    const QString where = captionFormName(w) + " " + b->objectName() + " \"" + b->text() + "\"";
                    QVERIFY2(!taken.count(letter), qPrintable(QString("language %1: %2 and %3 share Alt+%4")
                                                                  .arg(language)
                                                                  .arg(where, taken[letter], letter)));
                    taken[letter] = where;
                }
            }
        }
    }

    void newDatabaseHoldsTheCaptionsAndSetupOffersThem()
    {
        TestDb db;
        TdmORVS &dm = db.dm();
        QVERIFY(dm.createdNow());
        TdmORVS again(db.dataFolder());
        QVERIFY(!again.createdNow());
        const int n = CaptionFiles::loadShipped(dm);
        QCOMPARE(dm.scalar("SELECT COUNT(*) FROM ORV_Object_Caption").toInt(), n);
        for (const QString &lang : CaptionFiles::languages())
            QCOMPARE(CaptionFiles::rowCount(dm, lang), int(CaptionFiles::shipped(lang).entries.size()));

        // A club's correction survives unless the secretary agrees to replace it.
        dm.exec("UPDATE ORV_Object_Caption SET caption='Korrigiert' WHERE LangCode='Deutsch' AND "
                "formName='frmHome' AND objectCode='Label1'");
        RecordingSink sink;
        sink.fallback = Answer::No;
        QCOMPARE(CaptionFiles::offerShipped(dm, "Deutsch", sink, true), 0); // has rows: no question
        QVERIFY(sink.questions.isEmpty());
        QCOMPARE(CaptionFiles::offerShipped(dm, "Deutsch", sink), 0);
        QCOMPARE(sink.questions.size(), 1);
        QVERIFY(sink.questions[0].contains("Replace"));
        const QString corrected = "SELECT caption FROM ORV_Object_Caption WHERE LangCode='Deutsch' AND "
                                  "formName='frmHome' AND objectCode='Label1'";
        QCOMPARE(dm.scalar(corrected).toString(), QString("Korrigiert"));
        sink.answers = {Answer::Yes};
        const int de = CaptionFiles::offerShipped(dm, "Deutsch", sink);
        QCOMPARE(de, CaptionFiles::rowCount(dm, "Deutsch"));
        QVERIFY(dm.scalar(corrected).toString() != "Korrigiert");
        QCOMPARE(sink.messages.last().text, QString("%1 captions for Deutsch stored.").arg(de));
        QCOMPARE(dm.scalar("SELECT COUNT(*) FROM ORV_Object_Caption").toInt(), n); // replaced, not doubled

        // A language without rows is offered when chosen; refusing keeps it empty.
        dm.exec("DELETE FROM ORV_Object_Caption WHERE LangCode='French'");
        sink.questions.clear();
        QCOMPARE(CaptionFiles::offerShipped(dm, "French", sink, true), 0);
        QCOMPARE(sink.questions.size(), 1);
        QCOMPARE(CaptionFiles::rowCount(dm, "French"), 0);

        // The setup page: choosing French offers its captions and the page speaks French at once.
        db.insertClub();
        TfrmSetup_10 page(dm);
        page.FormShow();
        const QString english = page.btnLoadCaptions->text();
        Dialogs::pushAnswer(Answer::Yes);
        page.cbbLangue->setCurrentIndex(5);
        emit page.cbbLangue->activated(5);
        QVERIFY(CaptionFiles::rowCount(dm, "French") > 0);
        QVERIFY(page.btnLoadCaptions->text() != english);
        page.cbbLangue->setCurrentIndex(0);
        emit page.cbbLangue->activated(0);
        QCOMPARE(page.btnLoadCaptions->text(), english);
    }

    void cliExportImportRoundTrip()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("P");
        const auto cli = [&](const QStringList &args, QString *output = nullptr) {
            QProcess p;
            p.start(CLI_EXE, QStringList{"--data", data} + args);
            p.waitForFinished(60000);
            if (output)
                *output = p.readAllStandardOutput() + p.readAllStandardError();
            return p.exitCode();
        };
        const QString file = dir.filePath("de.tsv");
        QCOMPARE(cli({"captions", "export", "de", file}), 0); // a new database holds the shipped rows
        CaptionFiles::File exported;
        QString error;
        QVERIFY2(CaptionFiles::read(file, &exported, &error), qPrintable(error));
        QVERIFY(exported.entries.size() > 100);
        QCOMPARE(rowsOf(exported), rowsOf(CaptionFiles::shipped("Deutsch")));

        // A corrected caption goes in; the rows of the language are replaced, the others stay.
        CaptionFiles::File corrected = exported;
        corrected.entries[0].caption = "Berichtigt";
        corrected.entries.pop_back();
        QVERIFY(CaptionFiles::save(file, corrected, &error));
        QString out;
        QCOMPARE(cli({"captions", "import", file}, &out), 0);
        QVERIFY2(out.contains(QString("%1 captions of Deutsch stored").arg(corrected.entries.size())), qPrintable(out));
        const QString again = dir.filePath("again.tsv");
        QCOMPARE(cli({"captions", "export", "Deutsch", again}), 0);
        CaptionFiles::File back;
        QVERIFY(CaptionFiles::read(again, &back, &error));
        QCOMPARE(rowsOf(back), rowsOf(corrected));

        // A bad file is refused with its line, and nothing changes.
        QFile bad(file);
        QVERIFY(bad.open(QIODevice::Append));
        bad.write("frmHome\tLabel1\tStart\n");
        bad.close();
        QCOMPARE(cli({"captions", "import", file}, &out), 1);
        QVERIFY2(out.contains(QRegularExpression("de.tsv, line \\d+: 4 fields separated by tabs")), qPrintable(out));
        QVERIFY(out.contains("nothing changed"));
        QCOMPARE(cli({"captions", "export", "de", again}), 0);
        QVERIFY(CaptionFiles::read(again, &back, &error));
        QCOMPARE(rowsOf(back), rowsOf(corrected));
        QCOMPARE(cli({"captions", "export", "xx", again}, &out), 2);
        QVERIFY(out.contains("Unknown language xx"));
    }
};

QTEST_MAIN(TestCaptionFiles)
#include "test_caption_files.moc"
