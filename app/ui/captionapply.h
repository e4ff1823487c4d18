#pragma once

#include "app/captions.h"

#include <QString>
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
// Applies one row to one control; false when the control is not of that kind or the position is
// out of range.
bool applyCaptionRow(QObject *control, const Captions::Row &row);
