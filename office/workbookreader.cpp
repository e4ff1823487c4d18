#include "office/workbook.h"

#include "office/packagefix.h"
#include "store/regularfile.h"

#include <QDir>
#include <QTemporaryFile>

#include <QDate>
#include <QFile>
#include <QTime>
#include <cctype>
#include <cmath>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <stdexcept>
#include <zip.h>

namespace ss = orcus::spreadsheet;

namespace {
struct LimitExceeded : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

QString fromView(std::string_view s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// A worksheet after the first: its cells are not kept.
class IgnoredSheet : public ss::iface::import_sheet
{
public:
    void set_auto(ss::row_t, ss::col_t, std::string_view) override {}
    void set_string(ss::row_t, ss::col_t, ss::string_id_t) override {}
    void set_value(ss::row_t, ss::col_t, double) override {}
    void set_bool(ss::row_t, ss::col_t, bool) override {}
    void set_date_time(ss::row_t, ss::col_t, int, int, int, int, int, double) override {}
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {1'048'576, 16'384}; }
};
} // namespace

// Keeps the first worksheet's cells, within the limits.
class SheetCollector : public ss::iface::import_sheet, public ss::iface::import_formula
{
public:
    SheetCollector(WorkbookSheet &sheet, const WorkbookLimits &limits) : sheet_(sheet), limits_(limits) {}
    std::vector<QString> &sharedStrings() { return sheet_.shared_; }

    WorkbookSheet::Cell &at(ss::row_t row, ss::col_t col)
    {
        if (row < 0 || col < 0 || row >= limits_.maxRows || col >= limits_.maxColumns)
            throw LimitExceeded("a cell lies outside the sheet's bounds");
        auto &rows = sheet_.cells_;
        if (size_t(row) >= rows.size())
            rows.resize(size_t(row) + 1);
        auto &r = rows[size_t(row)];
        if (size_t(col) >= r.size()) {
            cellCount_ += qint64(col) + 1 - qint64(r.size());
            if (cellCount_ > limits_.maxCells)
                throw LimitExceeded("the sheet holds too many cells");
            r.resize(size_t(col) + 1);
        }
        sheet_.rows_ = std::max(sheet_.rows_, int(row) + 1);
        sheet_.columns_ = std::max(sheet_.columns_, int(col) + 1);
        return r[size_t(col)];
    }
    void setText(ss::row_t row, ss::col_t col, const QString &t)
    {
        auto &c = at(row, col);
        c.kind = WorkbookSheet::Cell::Text;
        c.text = t;
    }
    void setNumber(ss::row_t row, ss::col_t col, double v)
    {
        auto &c = at(row, col);
        // A formula without a stored result comes as NaN: nothing is displayed.
        c.kind = std::isfinite(v) ? WorkbookSheet::Cell::Number : WorkbookSheet::Cell::Empty;
        c.number = v;
        c.text.clear();
    }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        bool ok = false;
        const QString t = fromView(s);
        const double v = t.toDouble(&ok);
        if (ok)
            setNumber(row, col, v);
        else
            setText(row, col, t);
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t index) override
    {
        auto &c = at(row, col);
        c.kind = WorkbookSheet::Cell::Shared;
        c.sharedIndex = qsizetype(index);
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override { setNumber(row, col, value); }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        setText(row, col, value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        QString t = QDate(year, month, day).toString(Qt::ISODate);
        if (hour || minute || second > 0)
            t += QLatin1Char(' ') + QTime(hour, minute, int(second)).toString(QStringLiteral("HH:mm:ss"));
        setText(row, col, t);
    }
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {limits_.maxRows, limits_.maxColumns}; }

    // A formula cell keeps its stored result only.
    ss::iface::import_formula *get_formula() override { return this; }
    void set_position(ss::row_t row, ss::col_t col) override
    {
        formulaRow_ = row;
        formulaCol_ = col;
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override { setText(formulaRow_, formulaCol_, fromView(value)); }
    void set_result_value(double value) override { setNumber(formulaRow_, formulaCol_, value); }
    void set_result_bool(bool value) override { set_bool(formulaRow_, formulaCol_, value); }
    void set_result_empty() override {}
    void commit() override {}

private:
    WorkbookSheet &sheet_;
    WorkbookLimits limits_;
    qint64 cellCount_ = 0;
    ss::row_t formulaRow_ = 0;
    ss::col_t formulaCol_ = 0;
};

namespace {
class SharedStrings : public ss::iface::import_shared_strings
{
public:
    SharedStrings(std::vector<QString> &strings, qint64 maxStrings) : strings_(strings), max_(maxStrings) {}
    size_t append(std::string_view s) override
    {
        if (qint64(strings_.size()) >= max_)
            throw LimitExceeded("the workbook holds too many texts");
        strings_.push_back(fromView(s));
        return strings_.size() - 1;
    }
    size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { segments_ += fromView(s); }
    size_t commit_segments() override
    {
        const size_t i = append({});
        strings_[i] = segments_;
        segments_.clear();
        return i;
    }

private:
    std::vector<QString> &strings_;
    qint64 max_;
    QString segments_;
};

// Cell references of the sheet parts ("B3", "$A$1", "A1:C4"): their row and column, from 0.
class A1Resolver : public ss::iface::import_reference_resolver
{
public:
    ss::src_address_t resolve_address(std::string_view address) override
    {
        const size_t bang = address.rfind('!');
        if (bang != std::string_view::npos)
            address.remove_prefix(bang + 1);
        long long col = 0, row = 0;
        size_t i = 0;
        auto skipDollar = [&] {
            if (i < address.size() && address[i] == '$')
                ++i;
        };
        skipDollar();
        const size_t letters = i;
        for (; i < address.size() && std::isalpha(static_cast<unsigned char>(address[i])); ++i) {
            col = col * 26 + (std::toupper(static_cast<unsigned char>(address[i])) - 'A' + 1);
            if (col > 16'384)
                throw std::runtime_error("a cell reference is out of range");
        }
        skipDollar();
        const size_t digits = i;
        for (; i < address.size() && std::isdigit(static_cast<unsigned char>(address[i])); ++i) {
            row = row * 10 + (address[i] - '0');
            if (row > 1'048'576)
                throw std::runtime_error("a cell reference is out of range");
        }
        if (i != address.size() || digits == letters || i == digits || row == 0 || col == 0)
            throw std::runtime_error("a cell reference cannot be read");
        return {0, ss::row_t(row - 1), ss::col_t(col - 1)};
    }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        if (colon == std::string_view::npos) {
            const auto a = resolve_address(range);
            return {a, a};
        }
        return {resolve_address(range.substr(0, colon)), resolve_address(range.substr(colon + 1))};
    }
};

class Factory : public ss::iface::import_factory
{
public:
    Factory(WorkbookSheet &sheet, const WorkbookLimits &limits)
        : first_(sheet, limits), strings_(first_.sharedStrings(), limits.maxCells)
    {
    }
    ss::iface::import_shared_strings *get_shared_strings() override { return &strings_; }
    std::vector<QString> &sharedStrings() { return first_.sharedStrings(); }
    bool hasSheet() const { return !names_.empty(); }
    ss::iface::import_reference_resolver *get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &resolver_;
    }
    ss::iface::import_sheet *append_sheet(ss::sheet_t index, std::string_view name) override
    {
        names_.emplace_back(name);
        return get_sheet(index);
    }
    ss::iface::import_sheet *get_sheet(std::string_view name) override
    {
        for (size_t i = 0; i < names_.size(); ++i)
            if (names_[i] == name)
                return get_sheet(ss::sheet_t(i));
        return nullptr;
    }
    ss::iface::import_sheet *get_sheet(ss::sheet_t index) override
    {
        return index == 0 ? static_cast<ss::iface::import_sheet *>(&first_) : &ignored_;
    }
    void finalize() override {}

private:
    SheetCollector first_;
    IgnoredSheet ignored_;
    SharedStrings strings_;
    A1Resolver resolver_;
    std::vector<std::string> names_;
};

// Checks the zip directory before anything is inflated: a zip bomb is refused by its declared sizes.
bool checkArchive(const QString &path, const WorkbookLimits &limits, QString *error)
{
    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!za) {
        *error = QStringLiteral("The file is not an Excel workbook (.xlsx).");
        return false;
    }
    const zip_int64_t n = zip_get_num_entries(za, 0);
    qint64 total = 0;
    bool hasWorkbook = false;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za, zip_uint64_t(i), 0, &st) != 0)
            continue;
        if ((st.valid & ZIP_STAT_NAME) && QByteArray(st.name) == "xl/workbook.xml")
            hasWorkbook = true;
        if (st.valid & ZIP_STAT_SIZE)
            total += qint64(st.size);
        if (total > limits.maxUncompressedBytes) {
            zip_discard(za);
            *error = QStringLiteral("The workbook is too large to read (more than %1 MB unpacked).")
                         .arg(limits.maxUncompressedBytes / (1024 * 1024));
            return false;
        }
    }
    zip_discard(za);
    if (!hasWorkbook) {
        *error = QStringLiteral("The file is not an Excel workbook (.xlsx).");
        return false;
    }
    return true;
}
} // namespace

bool readFirstSheet(const QString &path, WorkbookSheet *sheet, QString *error, const WorkbookLimits &limits)
{
    QString message;
    auto fail = [&](const QString &m) {
        if (error)
            *error = m;
        *sheet = WorkbookSheet();
        return false;
    };
    if (!QFile::exists(path))
        return fail(QStringLiteral("%1: the file does not exist.").arg(path));
    if (const QString refused = RegularFile::refusal(path); !refused.isEmpty())
        return fail(refused + QLatin1Char('.'));
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1: %2").arg(path, probe.errorString()));
    probe.close();
    if (!checkArchive(path, limits, &message))
        return fail(message);

    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/pennavox-read-XXXXXX.xlsx"));
    if (!copy.open())
        return fail(QStringLiteral("The workbook cannot be read: %1").arg(copy.errorString()));
    copy.close();
    bool changed = false;
    *sheet = WorkbookSheet();
    try {
        std::vector<QString> texts;
        if (!PackageFix::normalise(path, copy.fileName(), &changed, &message,
                                   {limits.maxXmlDepth, limits.maxXmlElements}, &texts))
            return fail(message);
        Factory factory(*sheet, limits);
        orcus::orcus_xlsx reader(&factory);
        reader.read_file(QFile::encodeName(changed ? copy.fileName() : path).toStdString());
        // The library repeats the previous text for an empty item; the table's own texts count.
        if (std::vector<QString> &shared = factory.sharedStrings(); texts.size() == shared.size())
            shared = std::move(texts);
        if (!factory.hasSheet())
            return fail(QStringLiteral("The workbook holds no worksheet."));
    } catch (const LimitExceeded &e) {
        return fail(QStringLiteral("The workbook cannot be read: %1.").arg(QString::fromUtf8(e.what())));
    } catch (const std::bad_alloc &) {
        return fail(QStringLiteral("The workbook cannot be read: not enough memory."));
    } catch (const std::exception &e) {
        return fail(QStringLiteral("The workbook is damaged: %1").arg(QString::fromUtf8(e.what())));
    } catch (...) {
        return fail(QStringLiteral("The workbook is damaged."));
    }
    return true;
}

QVariant WorkbookSheet::cell(int row, int column) const
{
    if (row < 1 || column < 1 || size_t(row) > cells_.size())
        return {};
    const auto &r = cells_[size_t(row - 1)];
    if (size_t(column) > r.size())
        return {};
    const Cell &c = r[size_t(column - 1)];
    switch (c.kind) {
    case Cell::Empty:
        return {};
    case Cell::Number:
        return c.number;
    case Cell::Text:
        return c.text;
    case Cell::Shared:
        if (c.sharedIndex >= 0 && size_t(c.sharedIndex) < shared_.size())
            return shared_[size_t(c.sharedIndex)];
        return {};
    }
    return {};
}

QString WorkbookSheet::numberText(double v)
{
    if (std::isfinite(v) && v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

QString WorkbookSheet::text(int row, int column) const
{
    const QVariant v = cell(row, column);
    if (!v.isValid())
        return {};
    if (v.typeId() == QMetaType::Double)
        return numberText(v.toDouble());
    return v.toString();
}
