#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <map>
#include <vector>

class QIODevice;

// A table written as an .xlsx workbook: one worksheet "Sheet1", the headings in row 1, the data
// from row 2. Text columns ("@") hold exactly the texts given (leading zeros kept); other columns
// take numbers as numbers and texts as texts. Columns are counted from 0.
class WorkbookWriter
{
public:
    explicit WorkbookWriter(QStringList headings);

    void setTextColumn(int column);
    void setNumberFormat(int column, const QString &format); // "0.000"
    void setWidth(int column, double characters);
    void addRow(QVariantList values);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    const QStringList &headings() const { return headings_; }

    // The workbook's bytes; false with "Data transfer error: " + reason in *error.
    bool build(QByteArray *out, QString *error) const;
    bool write(QIODevice &out, QString *error) const;
    // Through SaveFile: a failed save leaves the previous file as it was.
    bool save(const QString &path, QString *error) const;

    static QString transferError(const QString &reason);

private:
    struct ColumnStyle
    {
        bool text = false;
        QString numberFormat;
        double width = -1;
    };
    QStringList headings_;
    std::map<int, ColumnStyle> styles_;
    std::vector<QVariantList> rows_;
};

// The first worksheet of an .xlsx workbook: its used rows and columns (counted from 1, with the
// heading row) and each cell as its displayed value: a number (double), a text, or empty.
// Formulas give their stored result, booleans "TRUE"/"FALSE", date cells "YYYY-MM-DD[ hh:mm:ss]".
class WorkbookSheet
{
public:
    int rowCount() const { return rows_; }
    int columnCount() const { return columns_; }
    QVariant cell(int row, int column) const; // 1-based; invalid QVariant when empty
    // The cell as text: numbers without a needless ".0" ("12345", "2.5"), empty when empty.
    QString text(int row, int column) const;
    static QString numberText(double v);

private:
    friend class SheetCollector;
    struct Cell
    {
        enum Kind : unsigned char { Empty, Number, Text, Shared };
        Kind kind = Empty;
        double number = 0;
        qsizetype sharedIndex = -1;
        QString text;
    };
    std::vector<std::vector<Cell>> cells_; // [row-1][column-1]
    std::vector<QString> shared_;
    int rows_ = 0;
    int columns_ = 0;
};

struct WorkbookLimits
{
    qint64 maxUncompressedBytes = 256ll * 1024 * 1024; // all parts of the zip together
    qint64 maxCells = 3'000'000;
    int maxRows = 1'048'576;
    int maxColumns = 16'384;
    int maxXmlDepth = 100;
    qint64 maxXmlElements = 16'000'000; // all XML parts together
};

// Reads the first worksheet. False with a message for the user in *error: not a workbook, a
// workbook too large to read safely, or a damaged one.
bool readFirstSheet(const QString &path, WorkbookSheet *sheet, QString *error,
                    const WorkbookLimits &limits = {});
