#pragma once

#include <QString>
#include <vector>

// Some writers (openpyxl, streaming writers) keep texts in the cells ("inline strings") and name
// package parts by absolute paths; the reading library knows neither. This writes a copy of such
// a workbook with the texts moved into the shared string table and the paths made relative.
namespace PackageFix {
// Bounds of the XML of every part, checked before the reading library sees it: deep nesting or
// millions of elements cost it memory out of all proportion to the file.
struct XmlLimits
{
    int maxDepth = 100;
    qint64 maxElements = 16'000'000; // all parts together
};
// *changed false: nothing needed fixing, `copyPath` is not written. False with *error on failure.
// *sharedTexts receives the texts of xl/sharedStrings.xml in order, as the cells refer to them.
bool normalise(const QString &path, const QString &copyPath, bool *changed, QString *error,
               const XmlLimits &limits = {}, std::vector<QString> *sharedTexts = nullptr);

// The texts of a shared string table, one per item: the text elements of the item and of its
// runs joined, without the phonetic guides. The reading library gives an empty item the text of
// the item before it, so the reader takes the texts from here.
std::vector<QString> sharedTexts(const QByteArray &table);
} // namespace PackageFix
