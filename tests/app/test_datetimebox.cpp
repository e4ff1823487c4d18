// Date and time boxes take what is typed whole, from the first section on, wherever the click
// put the cursor.
#include "../support/typing.h"

#include "app/ui/datetimebox.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QtTest>

class TestDateTimeBox : public QObject
{
    Q_OBJECT

    QWidget *window_ = nullptr;
    QDateEdit *date_ = nullptr;
    QTimeEdit *time_ = nullptr;
    QLineEdit *other_ = nullptr;

private slots:
    void init()
    {
        window_ = new QWidget;
        auto *lay = new QVBoxLayout(window_);
        date_ = Controls::dateEdit(window_, "dtpDate");
        time_ = Controls::timeEdit(window_, "dtpTime");
        other_ = new QLineEdit(window_);
        lay->addWidget(date_);
        lay->addWidget(time_);
        lay->addWidget(other_);
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
    }
    void cleanup() { delete window_; }

    void timeTypedOverAnotherIsTakenWhole_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QTime>("expected");
        QTest::newRow("all sections") << "07:30:00" << QTime(7, 30, 0);
        QTest::newRow("hour and minutes, seconds drop to zero") << "7:30" << QTime(7, 30, 0);
        QTest::newRow("digits only") << "073015" << QTime(7, 30, 15);
        QTest::newRow("single digits with separators") << "9:5:7" << QTime(9, 5, 7);
        QTest::newRow("evening") << "23:59:59" << QTime(23, 59, 59);
        QTest::newRow("a digit beyond the hour's range is refused") << "25:45" << QTime(2, 45, 0);
        QTest::newRow("midnight") << "0:0:0" << QTime(0, 0, 0);
    }
    void timeTypedOverAnotherIsTakenWhole()
    {
        QFETCH(QString, typed);
        QFETCH(QTime, expected);
        time_->setTime(QTime(10, 11, 20));
        Typing::typeText(time_, typed);
        QCOMPARE(time_->time(), expected);
        QVERIFY(!time_->hasFocus());
    }

    void focusSelectsEverything()
    {
        time_->setTime(QTime(10, 11, 20));
        Typing::clickInto(time_);
        QCOMPARE(time_->currentSectionIndex(), 0);
        QCOMPARE(time_->findChild<QLineEdit *>()->selectedText(), QStringLiteral("10:11:20"));
    }

    void secondEntryAfterRefocusStartsAgainAtTheHour()
    {
        time_->setTime(QTime(10, 11, 20));
        Typing::typeText(time_, QStringLiteral("06:45:00"));
        Typing::typeText(time_, QStringLiteral("18:05:30"));
        QCOMPARE(time_->time(), QTime(18, 5, 30));
    }

    void arrowsAndBackspaceStillWork()
    {
        time_->setTime(QTime(10, 11, 20));
        Typing::clickInto(time_);
        QTest::keyClick(time_, Qt::Key_Up); // the hour, selected by the focus
        QCOMPARE(time_->time(), QTime(11, 11, 20));
        Typing::clickInto(other_);
        Typing::clickInto(time_);
        QTest::keyClicks(time_, QStringLiteral("1"));
        QTest::keyClick(time_, Qt::Key_Backspace);
        QTest::keyClicks(time_, QStringLiteral("08:15"));
        QTest::keyClick(time_, Qt::Key_Tab);
        QCOMPARE(time_->time(), QTime(8, 15, 0));
    }

    void dateFormsAreDigitsInTheLocalesOrder_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("form");
        QTest::newRow("C") << "C" << "yyyy-MM-dd";
        QTest::newRow("United States") << "en_US" << "M/d/yyyy";
        QTest::newRow("Germany") << "de_DE" << "dd.MM.yyyy";
        QTest::newRow("Belgium, French") << "fr_BE" << "d/MM/yyyy";
        QTest::newRow("Hungary") << "hu_HU" << "yyyy. MM. dd.";
    }
    void dateFormsAreDigitsInTheLocalesOrder()
    {
        QFETCH(QString, locale);
        QFETCH(QString, form);
        QCOMPARE(Controls::typedDateFormat(QLocale(locale)), form);
    }

    void dateTypedInTheOrderShown_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QDate>("before");
        QTest::addColumn<QDate>("typed");
        for (const char *loc : {"C", "en_US", "de_DE", "hu_HU"}) {
            QTest::addRow("%s spring day", loc) << loc << QDate(2026, 1, 10) << QDate(2026, 5, 17);
            // the day may come before the month that makes it exist
            QTest::addRow("%s 31 March over February", loc) << loc << QDate(2026, 2, 10) << QDate(2026, 3, 31);
            QTest::addRow("%s last day of the year", loc) << loc << QDate(2026, 7, 1) << QDate(2025, 12, 31);
            QTest::addRow("%s first of January", loc) << loc << QDate(2026, 7, 31) << QDate(2027, 1, 1);
        }
    }
    void dateTypedInTheOrderShown()
    {
        QFETCH(QString, locale);
        QFETCH(QDate, before);
        QFETCH(QDate, typed);
        date_->setDisplayFormat(Controls::typedDateFormat(QLocale(locale)));
        date_->setDate(before);
        Typing::typeDate(date_, typed);
        QCOMPARE(date_->date(), typed);
    }

    void lettersStillReachTheBox()
    {
        // A 12-hour box keeps its morning or afternoon while the hour is typed.
        time_->setDisplayFormat(QStringLiteral("hh:mm ap"));
        time_->setTime(QTime(15, 0));
        Typing::typeText(time_, QStringLiteral("04:20"));
        QCOMPARE(time_->time(), QTime(16, 20));
    }
};

QTEST_MAIN(TestDateTimeBox)
#include "test_datetimebox.moc"
