#pragma once

#include "season/seasonlists.h"

class RecordTable;

// Puts a season list into a grid's table: its columns, titles, alignment and display texts.
void fillSeasonTable(RecordTable &table, const SeasonLists::Table &list);
