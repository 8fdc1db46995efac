#pragma once
// Sorting the rows of a grid by one column: the filled rows (a number in column 1) in the
// order of that column's texts, then empty rows; column 0 renumbered.
#include <string>
#include <vector>

using TGridRows = std::vector<std::vector<std::string>>;

// rows holds every grid row, fixedRows of them header rows. Texts compare as the workstation's
// case-insensitive order; numeric compares whole decimal numbers as numbers (restoring the
// order by column 0). Equal keys keep their order.
void SortGridRows(TGridRows& rows, int fixedRows, int column, bool numeric = false);
