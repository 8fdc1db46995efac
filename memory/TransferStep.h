#pragma once
// What one reply or tick of a block transfer asks the window to do. The transfers keep
// their own counters and records; the window only carries these steps out, in field order:
// send the request, show the panel line, move the progress, show the message, then end.
#include <cstdint>
#include <string>
#include <vector>

enum class TTransferEnd {
    None,
    Completed,  // all records moved: busy flag cleared, progress hidden, wait panel closed
    Empty,      // the device holds no records: the grid is cleared
    EraseSent,  // an empty base went out as "erase all": busy flag cleared
};

struct TTransferStep {
    std::vector<std::uint8_t> Request;  // data of the transfer's command; empty = nothing to send
    std::string PanelText;              // line for the message panel (on the main form)
    bool ProgressChanged = false;
    int Percent = 0;                    // -1 hides the progress display
    std::string ProgressText;
    std::string Message;                // message panel text
    int MessageNumber = 0;              // numbered message of the language file, 0 = none
    int ResultCode = -1;                // device result code to show as its text, -1 = none
    TTransferEnd End = TTransferEnd::None;
};
