#pragma once
// The number grid's rows from number records (PhoneStructToGrid), built a record at a time:
// a read of the whole base converts and merges each block as it arrives, so that its last
// block leaves nothing to do but hand the rows to the grid.
#include <cstdint>
#include <string>
#include <vector>

#include "memory/NumberGridSort.h"
#include "memory/PhoneRecord.h"

class TPhoneGridRowsBuilder {
public:
    // A record with a new number gets the next row; one with a number already shown writes
    // its texts over that row; one without a number leaves no row.
    void Add(const PhoneRecord& record);
    std::size_t Added() const { return FAdded; }
    void Clear();
    // The grid's rows below the header: the rows made, column 0 numbered from 1, then one
    // empty row; none when no record was added (the caller then leaves the grid as it is).
    // The builder is empty afterwards.
    TGridRows Take();

private:
    std::uint32_t* Slot(const std::string& number);

    std::size_t FAdded = 0;
    TGridRows FRows;
    // The rows' numbers side by side, and an open-addressed index of them (row + 1, 0 =
    // free): both in one block each, so that nothing is sought or freed row by row.
    std::vector<std::string> FNumbers;
    std::vector<std::uint32_t> FIndex;
};

// All at once.
TGridRows PhoneRecordsToGridRows(const std::vector<PhoneRecord>& records);
