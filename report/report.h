#pragma once

#include <QAbstractItemModel>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <utility>
#include <vector>

class QAbstractItemModel;
class TdmORVS;
struct ClubSettings;

// One printed text of a report that the caption table can translate: found by its object name
// ("qr…"/"QR…"), its text replaced, like a label of a page.
class ReportLabel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    ReportLabel(const QString &objectName, const QString &text, QObject *parent);
    QString text() const { return text_; }
    void setText(const QString &t) { text_ = t; }

private:
    QString text_;
};

// The club's own address block printed beside the logo.
struct ClubHeading
{
    QString name;
    QString street;
    QString city;
    QString postCode;
    static ClubHeading of(const ClubSettings &club);
    bool isEmpty() const { return name.isEmpty() && street.isEmpty() && city.isEmpty() && postCode.isEmpty(); }
};

// A banded report over any item model: a title band (logo, club heading, title lines) on the first
// page, the column header band on every page, one detail line per model row in the model's current
// order, and a page footer (the report's footer fields, print date, "Page N of M").
// The report only describes; ReportLayout lays it out and paints it.
class Report : public QObject
{
    Q_OBJECT
public:
    struct Column
    {
        int source = -1;        // model column; -1 prints an empty column
        ReportLabel *header = nullptr;
        Qt::Alignment alignment = Qt::AlignLeft;
        double weight = 1.0;    // how readily the column gives up width when the page is too narrow
    };
    struct Field // caption + value, e.g. "Total :" "012"
    {
        ReportLabel *caption = nullptr;
        QString value;
        bool emphasised = false;
    };

    // formName: the name the caption table knows the report by ("frmPrtRaceList_TC").
    explicit Report(const QString &formName, QObject *parent = nullptr);

    QString formName() const { return objectName(); }
    // The name a saved copy is proposed under, without extension ("Result 10011209 Quievrain");
    // by default the first title line.
    void setFileName(const QString &name) { fileName_ = name; }
    QString fileName() const;

    void setModel(const QAbstractItemModel *model);
    const QAbstractItemModel *model() const { return model_; }

    void setHeading(const ClubHeading &h) { heading_ = h; }
    const ClubHeading &heading() const { return heading_; }

    // The first title line is printed large; further lines are the report's subtitles.
    ReportLabel *addTitle(const QString &objectName, const QString &caption, const QString &value = {});
    // Adds a report column over a model column (or -1: an empty column). The header's text defaults
    // to the model's header text; alignment to the model header's TextAlignmentRole.
    ReportLabel *addColumn(const QString &objectName, int source, const QString &header = {},
                           double weight = 1.0);
    // Every model column in order, headers named qrlCol0, qrlCol1 …
    void addModelColumns();
    ReportLabel *addFooter(const QString &objectName, const QString &caption, const QString &value);

    const std::vector<Field> &titles() const { return titles_; }
    const std::vector<Column> &columns() const { return columns_; }
    const std::vector<Field> &footers() const { return footers_; }
    Field *title(int i) { return &titles_.at(static_cast<size_t>(i)); }
    Field *footer(int i) { return &footers_.at(static_cast<size_t>(i)); }

    // Page footer texts; translatable too. "%1" is the page, "%2" the page count.
    ReportLabel *pageLabel() const { return page_; }
    ReportLabel *printedLabel() const { return printed_; }

    void setPrintTime(const QDateTime &t) { printTime_ = t; }
    QDateTime printTime() const { return printTime_; }
    QString printTimeText() const;

    // Replaces the texts of the report's labels with the caption table's rows for this report in
    // the given language (rows of report-label kind only).
    void translate(TdmORVS &dm, int language);
    // The labels a translation reaches, with their texts, in name order: what a caption file must
    // hold for this report (labels without text and fixed ones left out).
    std::vector<std::pair<QString, QString>> captionLabels() const;

    int rowCount() const;
    QString cellText(int row, int column) const;

private:
    QPointer<const QAbstractItemModel> model_;
    ClubHeading heading_;
    std::vector<Field> titles_;
    QString fileName_;
    std::vector<Column> columns_;
    std::vector<Field> footers_;
    ReportLabel *page_;
    ReportLabel *printed_;
    QDateTime printTime_;
};
