#pragma once
// Items of the event-log operation filter: "Все записи", then item i + 1 for code i.
#include <string>
#include <vector>

std::vector<std::string> LogFilterItems();
