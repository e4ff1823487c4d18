#include "../support/testdb.h"

#include "app/captions.h"
#include "app/ui/captionapply.h"
#include "app/ui/grid.h"
#include "app/ui/radiogroup.h"
#include "store/recordtable.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QtTest>

using K = Captions::Kind;

namespace {
struct Form
{
    QWidget root;
    QToolBar *bar = new QToolBar(&root);
    QLabel *label = new QLabel("Clock list", &root);
    QLabel *odd = new QLabel("odd", &root);
    RecordTable *table = new RecordTable(&root);
    TDBGrid *grid;
    QPushButton *button = new QPushButton("OK", &root);
    QGroupBox *group = new QGroupBox("Group", &root);
    QCheckBox *check = new QCheckBox("Check", &root);
    QTabWidget *tabs = new QTabWidget(&root);
    TRadioGroup *radio = new TRadioGroup("rgAction", {"Edit", "Delete"}, &root);
    QMenu *menu = new QMenu(&root);

    Form()
    {
        root.setObjectName("frmHome");
        bar->setObjectName("ToolBar1");
        for (const char *t : {"&H Home", "&C Clock Operation", "&M Member", "&R Races", "&S Setup"})
            bar->addAction(t);
        label->setObjectName("Label1");
        odd->setObjectName("LbOdd");
        table->addColumn("ClockID");
        table->addColumn("LoftName");
        table->addColumn("LastSynchDate");
        grid = new TDBGrid("DBGrid1", table, &root);
        button->setObjectName("btnOK");
        group->setObjectName("grpA");
        check->setObjectName("chkX");
        tabs->setObjectName("pagMain");
        tabs->addTab(new QWidget, "One");
        tabs->addTab(new QWidget, "Two");
        menu->setObjectName("pmColor");
        menu->addAction("Add");
        menu->addSeparator();
        menu->addAction("Delete");
    }
};

void addRow(TdmORVS &dm, const QString &lang, const QString &form, const QString &obj, const QString &caption,
            int property)
{
    dm.exec("INSERT INTO ORV_Object_Caption (LangCode, formName, objectCode, caption, property) VALUES (?,?,?,?,?)",
            {lang, form, obj, caption, property});
}

const std::initializer_list<K> allKinds = {K::ToolBar,  K::Grid,     K::PopupMenu, K::PageControl,
                                           K::RadioGroup, K::Label,  K::Button,    K::GroupBox,
                                           K::CheckBox, K::ReportLabel};
} // namespace

class TestCaptions : public QObject
{
    Q_OBJECT
private slots:
    void kindsByPrefix();
    void languageNames();
    void gridTitlesInPropertyOrder();
    void labelRowsMakeTwoLines();
    void toolBarButtonsByPosition();
    void everyOtherKind();
    void variantIgnoresPrefixesItDoesNotHandle();
    void englishAndMissingTableChangeNothing();
    void rowsOutOfRangeAreSkipped();
};

void TestCaptions::kindsByPrefix()
{
    QCOMPARE(Captions::kindOf("ToolBar1"), K::ToolBar);
    QCOMPARE(Captions::kindOf("dbgrdMem"), K::Grid);
    QCOMPARE(Captions::kindOf("DBGrid1"), K::Grid);
    QCOMPARE(Captions::kindOf("lbName"), K::Label);
    QCOMPARE(Captions::kindOf("Label1"), K::Label);
    QCOMPARE(Captions::kindOf("LbName"), K::None); // case matters
    QCOMPARE(Captions::kindOf("butSave"), K::Button);
    QCOMPARE(Captions::kindOf("Button1"), K::Button);
    QCOMPARE(Captions::kindOf("PageControl1"), K::PageControl);
    QCOMPARE(Captions::kindOf("qrlTitle"), K::ReportLabel);
    QCOMPARE(Captions::kindOf("edtName"), K::None);
}

void TestCaptions::languageNames()
{
    QCOMPARE(Captions::languageName(0), QString());
    QCOMPARE(Captions::languageName(4), QString("Deutsch"));
    QCOMPARE(Captions::languageName(6), QString("Hungary"));
    QCOMPARE(Captions::languageName(7), QString());
}

void TestCaptions::gridTitlesInPropertyOrder()
{
    TestDb db;
    db.insertClub("NC", 0, 4);
    addRow(db.dm(), "Deutsch", "frmHome", "DBGrid1", "Datum", 3);
    addRow(db.dm(), "Deutsch", "frmHome", "DBGrid1", "Uhr", 1);
    addRow(db.dm(), "Deutsch", "frmHome", "DBGrid1", "Name", 2);
    Form f;
    applyCaptions(&f.root, "frmHome", allKinds, db.dm());
    QCOMPARE(f.table->headerData(0, Qt::Horizontal).toString(), QString("Uhr"));
    QCOMPARE(f.table->headerData(1, Qt::Horizontal).toString(), QString("Name"));
    QCOMPARE(f.table->headerData(2, Qt::Horizontal).toString(), QString("Datum"));
}

void TestCaptions::labelRowsMakeTwoLines()
{
    TestDb db;
    db.insertClub("NC", 0, 4);
    addRow(db.dm(), "Deutsch", "frmHome", "Label1", "Erste", 1);
    addRow(db.dm(), "Deutsch", "frmHome", "Label1", "Zweite", 2);
    Form f;
    applyCaptions(&f.root, "frmHome", allKinds, db.dm());
    QCOMPARE(f.label->text(), QString("Erste\nZweite"));
}

void TestCaptions::toolBarButtonsByPosition()
{
    TestDb db;
    db.insertClub("NC", 0, 1);
    const QStringList t{"Domů", "Hodiny", "Členové", "Závody", "Nastavení"};
    for (int i = 0; i < 5; ++i)
        addRow(db.dm(), "Czech", "frmMenu_V8_EU_10_TC", "ToolBar1", t[i], i);
    Form f;
    applyCaptions(&f.root, "frmMenu_V8_EU_10_TC", {K::ToolBar}, db.dm());
    for (int i = 0; i < 5; ++i)
        QCOMPARE(f.bar->actions()[i]->text(), t[i]);
}

void TestCaptions::everyOtherKind()
{
    TestDb db;
    db.insertClub("NC", 0, 5);
    addRow(db.dm(), "French", "frmX", "btnOK", "Valider", 0);
    addRow(db.dm(), "French", "frmX", "grpA", "Groupe", 0);
    addRow(db.dm(), "French", "frmX", "chkX", "Cocher", 0);
    addRow(db.dm(), "French", "frmX", "pagMain", "Un", 0);
    addRow(db.dm(), "French", "frmX", "pagMain", "Deux", 1);
    addRow(db.dm(), "French", "frmX", "rgAction", "Modifier", 0);
    addRow(db.dm(), "French", "frmX", "rgAction", "Supprimer", 1);
    addRow(db.dm(), "French", "frmX", "rgAction", "Imprimer", 2);
    addRow(db.dm(), "French", "frmX", "pmColor", "Ajouter", 0);
    addRow(db.dm(), "French", "frmX", "pmColor", "Effacer", 1);
    addRow(db.dm(), "French", "frmX", "LbOdd", "ignored", 0);
    Form f;
    applyCaptions(&f.root, "frmX", allKinds, db.dm());
    QCOMPARE(f.button->text(), QString("Valider"));
    QCOMPARE(f.group->title(), QString("Groupe"));
    QCOMPARE(f.check->text(), QString("Cocher"));
    QCOMPARE(f.tabs->tabText(1), QString("Deux"));
    QCOMPARE(f.radio->items(), QStringList({"Modifier", "Supprimer", "Imprimer"}));
    QCOMPARE(f.menu->actions()[2]->text(), QString("Effacer")); // the separator does not count
    QCOMPARE(f.odd->text(), QString("odd"));
}

void TestCaptions::variantIgnoresPrefixesItDoesNotHandle()
{
    TestDb db;
    db.insertClub("NC", 0, 4);
    addRow(db.dm(), "Deutsch", "frmMenu_V8_EU_10_TC", "Label1", "Nein", 0);
    addRow(db.dm(), "Deutsch", "frmMenu_V8_EU_10_TC", "ToolBar1", "Start", 0);
    Form f;
    applyCaptions(&f.root, "frmMenu_V8_EU_10_TC", {K::ToolBar}, db.dm());
    QCOMPARE(f.label->text(), QString("Clock list"));
    QCOMPARE(f.bar->actions()[0]->text(), QString("Start"));
}

void TestCaptions::englishAndMissingTableChangeNothing()
{
    TestDb db;
    db.insertClub("NC", 0, 0);
    addRow(db.dm(), "Deutsch", "frmHome", "Label1", "Erste", 1);
    Form f;
    applyCaptions(&f.root, "frmHome", allKinds, db.dm());
    QCOMPARE(f.label->text(), QString("Clock list"));
    db.dm().exec("DROP TABLE ORV_Object_Caption");
    QVERIFY(Captions::rowsFor(db.dm(), "frmHome", 4).empty());
    applyCaptions(&f.root, "frmHome", allKinds, db.dm());
    QCOMPARE(f.label->text(), QString("Clock list"));
}

void TestCaptions::rowsOutOfRangeAreSkipped()
{
    TestDb db;
    db.insertClub("NC", 0, 4);
    for (int i = 0; i < 7; ++i)
        addRow(db.dm(), "Deutsch", "frmHome", "ToolBar1", QString("B%1").arg(i), i);
    addRow(db.dm(), "Deutsch", "frmHome", "btnMissing", "x", 0);
    addRow(db.dm(), "Deutsch", "frmHome", "grpNotAGroup", "x", 0);
    Form f;
    f.label->setObjectName("grpNotAGroup"); // a label under a group-box name: skipped
    applyCaptions(&f.root, "frmHome", allKinds, db.dm());
    QCOMPARE(f.bar->actions()[4]->text(), QString("B4"));
    QCOMPARE(f.label->text(), QString("Clock list"));
}

QTEST_MAIN(TestCaptions)
#include "test_captions.moc"
