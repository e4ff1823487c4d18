#include "office/savefile.h"
#include "office/workbook.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryFile>
#include <xlsxwriter.h>

namespace {
bool isNumber(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Long:
    case QMetaType::Short:
        return true;
    default:
        return false;
    }
}

// Stored texts of numbers written into a text column: whole numbers without a decimal part.
QString valueText(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return WorkbookSheet::numberText(v.toDouble());
    return v.toString();
}
} // namespace

WorkbookWriter::WorkbookWriter(QStringList headings) : headings_(std::move(headings)) {}

void WorkbookWriter::setTextColumn(int column)
{
    styles_[column].text = true;
}

void WorkbookWriter::setNumberFormat(int column, const QString &format)
{
    styles_[column].numberFormat = format;
}

void WorkbookWriter::setWidth(int column, double characters)
{
    styles_[column].width = characters;
}

void WorkbookWriter::addRow(QVariantList values)
{
    rows_.push_back(std::move(values));
}

QString WorkbookWriter::transferError(const QString &reason)
{
    return QStringLiteral("Data transfer error: ") + reason;
}

bool WorkbookWriter::build(QByteArray *out, QString *error) const
{
    auto fail = [&](const QString &reason) {
        if (error)
            *error = transferError(reason);
        return false;
    };
    if (headings_.size() > 26)
        return fail(QStringLiteral("a table has at most 26 columns"));

    QTemporaryFile tmp(QDir::tempPath() + QStringLiteral("/pennavox-XXXXXX.xlsx"));
    if (!tmp.open())
        return fail(QStringLiteral("the temporary folder %1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(QDir::tempPath()), tmp.errorString()));
    const QByteArray name = QFile::encodeName(tmp.fileName());
    tmp.close();
    const QByteArray tmpDir = QFile::encodeName(QDir::tempPath());

    lxw_workbook_options options = {};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = const_cast<char *>(tmpDir.constData());
    lxw_workbook *wb = workbook_new_opt(name.constData(), &options);
    if (!wb)
        return fail(QStringLiteral("the workbook could not be created"));
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Sheet1");

    std::map<int, lxw_format *> formats;
    for (const auto &[col, style] : styles_) {
        lxw_format *f = nullptr;
        if (style.text || !style.numberFormat.isEmpty()) {
            f = workbook_add_format(wb);
            const QByteArray code = style.text ? QByteArray("@") : style.numberFormat.toUtf8();
            format_set_num_format(f, code.constData());
        }
        formats[col] = f;
        const double width = style.width >= 0 ? style.width : LXW_DEF_COL_WIDTH;
        worksheet_set_column(ws, lxw_col_t(col), lxw_col_t(col), width, f);
    }
    auto formatOf = [&](int col) -> lxw_format * {
        const auto it = formats.find(col);
        return it == formats.end() ? nullptr : it->second;
    };
    auto isText = [&](int col) {
        const auto it = styles_.find(col);
        return it != styles_.end() && it->second.text;
    };

    lxw_error err = LXW_NO_ERROR;
    auto put = [&](lxw_row_t r, int c, const QVariant &v) {
        if (err != LXW_NO_ERROR || v.isNull() || !v.isValid())
            return;
        lxw_format *f = formatOf(c);
        if (isNumber(v) && !isText(c)) {
            err = worksheet_write_number(ws, r, lxw_col_t(c), v.toDouble(), f);
            return;
        }
        const QByteArray utf8 = valueText(v).toUtf8();
        if (utf8.isEmpty())
            err = worksheet_write_blank(ws, r, lxw_col_t(c), f);
        else
            err = worksheet_write_string(ws, r, lxw_col_t(c), utf8.constData(), f);
    };
    for (int c = 0; c < headings_.size(); ++c)
        put(0, c, headings_.at(c));
    for (size_t r = 0; r < rows_.size() && err == LXW_NO_ERROR; ++r) {
        const QVariantList &row = rows_[r];
        for (int c = 0; c < row.size() && c < headings_.size(); ++c)
            put(lxw_row_t(r + 1), c, row.at(c));
    }
    if (err != LXW_NO_ERROR) {
        workbook_close(wb);
        QFile::remove(tmp.fileName());
        return fail(QString::fromUtf8(lxw_strerror(err)));
    }
    err = workbook_close(wb);
    if (err != LXW_NO_ERROR) {
        QFile::remove(tmp.fileName());
        switch (err) {
        case LXW_ERROR_CREATING_XLSX_FILE:
        case LXW_ERROR_CREATING_TMPFILE:
        case LXW_ERROR_ZIP_FILE_OPERATION:
        case LXW_ERROR_ZIP_FILE_ADD:
        case LXW_ERROR_ZIP_CLOSE:
            // The workbook is packed in the temporary folder first; the library's own text
            // ("Zip generic error ZIP_ERRNO") does not say so.
            return fail(QStringLiteral("the workbook could not be packed in the temporary folder %1: the folder "
                                       "is full or cannot be written. Free some space there and try again. "
                                       "The previous file was kept.")
                            .arg(QDir::toNativeSeparators(QDir::tempPath())));
        default:
            return fail(QString::fromUtf8(lxw_strerror(err)));
        }
    }
    QFile written(tmp.fileName());
    if (!written.open(QIODevice::ReadOnly))
        return fail(written.errorString());
    *out = written.readAll();
    written.close();
    written.remove();
    return true;
}

bool WorkbookWriter::write(QIODevice &out, QString *error) const
{
    QByteArray bytes;
    if (!build(&bytes, error))
        return false;
    if (out.write(bytes) != bytes.size()) {
        if (error)
            *error = transferError(out.errorString());
        return false;
    }
    return true;
}

bool WorkbookWriter::save(const QString &path, QString *error) const
{
    QByteArray bytes;
    if (!build(&bytes, error))
        return false;
    QString reason;
    if (!SaveFile::write(path, bytes, &reason)) {
        if (error)
            *error = transferError(path + QStringLiteral(": ") + reason);
        return false;
    }
    return true;
}
