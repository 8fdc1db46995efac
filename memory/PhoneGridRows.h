#pragma once
// The number grid's rows from number records (PhoneStructToGrid), built a record at a time:
// a read of the whole base converts each block as it arrives, so that its last block leaves
// only the merge by number and the grid's own update.
#include <vector>

#include "memory/NumberGridSort.h"
#include "memory/PhoneRecord.h"

class TPhoneGridRowsBuilder {
public:
    void Add(const PhoneRecord& record);
    std::size_t Count() const { return FRows.size(); }
    void Clear() {
        FRows.clear();
        FNumbers.clear();
    }
    // The grid's rows below the header after showing the records added: one row per
    // distinct number, where the number first came, holding the texts of its last record;
    // column 0 numbered from 1; then one empty row. Records without a number leave no row.
    // No rows for no records (the caller then leaves the grid as it is). The builder is
    // empty afterwards.
    TGridRows Take();

private:
    TGridRows FRows;  // one per record, column 0 empty
    // The numbers again, side by side in one block: the merge sorts them without chasing
    // each row through memory.
    std::vector<std::string> FNumbers;
};

// All at once.
TGridRows PhoneRecordsToGridRows(const std::vector<PhoneRecord>& records);
