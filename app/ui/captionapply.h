#pragma once

#include "app/captions.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>
#include <initializer_list>

class QObject;
class TdmORVS;

// Replaces the captions of the controls under `root` with the caption table's texts for the club's
// language. Only the kinds listed are handled; rows naming other controls are skipped.
void applyCaptions(QObject *root, const QString &formName, std::initializer_list<Captions::Kind> kinds,
                   TdmORVS &dm);
// Same with an explicit language (the setup page translates in the language box's choice).
void applyCaptions(QObject *root, const QString &formName, std::initializer_list<Captions::Kind> kinds,
                   TdmORVS &dm, int language);
// The captions a control of that kind shows, one per position (a label's lines, a grid's column
// titles, a tool bar's buttons …); empty when the control is not of that kind.
QStringList captionTexts(QObject *control, Captions::Kind kind);
// The captions, as designed, of every control under root (root included) that root's last
// translation could reach (the kinds its page handles), by control name in name order: what a
// caption file must hold for the page. Controls marked with Captions::markFixed() are left out.
std::vector<std::pair<QString, QStringList>> designCaptions(QObject *root);
// The form name root's last translation used; empty before the first.
QString captionFormName(QObject *root);
// Applies one row to one control; false when the control is not of that kind or the position is
// out of range.
bool applyCaptionRow(QObject *control, const Captions::Row &row);
