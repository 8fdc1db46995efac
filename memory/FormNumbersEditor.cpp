// The number editor: add and delete commands for one number or many, and a grid row loaded
// into the editor. The editor never changes the grid.
#include <span>

#include "app/Unit1.h"
#include "device/DeviceLink.h"
#include "device/LinkPeers.h"
#include "memory/NumberEditor.h"
#include "platform/sys/Now.h"
#include "platform/ui/Dialogs.h"

namespace {

constexpr int kOutgoing = 0;
constexpr int kIncoming = 1;
constexpr TColor kMemoBad = static_cast<TColor>(0x0000FF);
constexpr TColor kMemoGood = static_cast<TColor>(0xFFFFFF);
constexpr const char* kTextTooManyNumbers = "Не более 16 номеров в одной команде";

}  // namespace

std::vector<std::string> TForm1::ManyNumbersList() const {
    std::vector<std::string> lines;
    TStrings* memo = ManyNumbers->GetLines();
    for (int i = 0; i < memo->GetCount(); ++i) lines.push_back(memo->Get(i));
    return ManyNumbersLines(lines);
}

void TForm1::SendNumbersCommand(bool add) {
    const bool many = Caddmany->GetTag() == 1;
    std::vector<std::string> numbers;
    if (many) {
        numbers = ManyNumbersList();
        // One command holds 16 records; more are refused whole rather than cut silently.
        if (numbers.size() > kMaxNumbersPerCommand) {
            ShowMessage(kTextTooManyNumbers);
            return;
        }
    } else {
        const std::string number = aPhone->GetText();
        const std::string problem = CheckSingleNumber(number);
        if (!problem.empty()) {
            ShowMessage(problem);
            return;
        }
        numbers.push_back(number);
    }
    std::size_t leftOut = 0;
    std::vector<std::uint8_t> data;
    if (add) {
        const std::string problem = CheckAddValues(aName->GetText(), static_cast<std::size_t>(aName->GetMaxLength()),
                                                   aPassages->GetText());
        if (!problem.empty()) {
            ShowMessage(problem);
            return;
        }
        TNumberEditorValues values;
        // A combo showing no item sends the loaded row's value, never a lower one.
        const auto comboValue = [this](TComboBox* combo, int column, int& value) {
            const std::string problem = EditorComboValue(column, combo->GetItemIndex(), FEditorRow[column], value);
            if (!problem.empty()) ShowMessage(problem);
            return problem.empty();
        };
        if (!comboValue(aAccesstype, colAccess, values.AccessIndex) ||
            !comboValue(aShedule, colSchedule, values.ScheduleIndex) ||
            !comboValue(CodeType, colCodeType, values.CodeTypeIndex))
            return;
        values.Name = aName->GetText();
        values.EndDate = aEndtime->GetDateTime();
        values.KeptExpiry = KeptRowExpiry(FEditorRow[colExpiry], Cdate->GetChecked(), aEndtime->GetDate());
        values.Passes = UserStrToInt(aPassages->GetText());
        data = AddNumbersData(numbers, values, sys::Now(), &leftOut);
    } else {
        data = DeleteNumbersData(numbers, &leftOut);
    }
    numbers.resize(numbers.size() - leftOut);
    FSentNumbers = numbers;
    SendCommand(add ? CmdAddNumbers : CmdDeleteNumbers, data);
    if (add)
        MiniLog(many ? kLogAddNumbers : kLogAddNumber, kOutgoing);
    else
        MiniLog(many ? kLogDeleteNumbers : kLogDeleteNumber, kOutgoing);
}

void TForm1::UiButton1Click(TObject* /*Sender*/) { SendNumbersCommand(true); }

void TForm1::UiButton2Click(TObject* /*Sender*/) { SendNumbersCommand(false); }

void TForm1::Reply_NumbersEdit(const TDeviceReply& reply) {
    const bool add = reply.Command == CmdAddNumbers;
    if (g_CloudSession) MiniLog(add ? kLogAddReply : kLogDeleteReply, kIncoming);
    std::string single = aPhone->GetText();
    if (Caddmany->GetTag() == 1) single = ManyNumbers->GetLines()->GetCount() > 0 ? ManyNumbers->GetLines()->Get(0) : "";
    const std::vector<std::string> numbers = FSentNumbers.empty() ? ManyNumbersList() : FSentNumbers;
    const std::string text = NumberResultText(add ? TNumberCommand::Add : TNumberCommand::Delete,
                                              std::span<const std::uint8_t>(reply.Data, reply.Size), numbers, single);
    if (!text.empty()) MessageShow(text);
}

void TForm1::CaddmanyClick(TObject* /*Sender*/) {
    if (Caddmany->GetTag() != 0) {
        aPhone->SetVisible(true);
        ManyNumbers->SetVisible(false);
        Caddmany->SetTop(aPhone->GetTop() + aPhone->GetHeight());
        Caddmany->SetCaption(kCaptionAddMany);
        Caddmany->SetTag(0);
    } else {
        aPhone->SetVisible(false);
        ManyNumbers->SetVisible(true);
        Caddmany->SetTop(ManyNumbers->GetTop() + ManyNumbers->GetHeight());
        Caddmany->SetCaption(kCaptionAddOne);
        Caddmany->SetTag(1);
    }
}

void TForm1::CdateClick(TObject* /*Sender*/) {
    aEndtime->SetVisible(Cdate->GetChecked());
    if (!Cdate->GetChecked()) aEndtime->SetDate(sys::Date());
}

void TForm1::CpassagesClick(TObject* /*Sender*/) {
    aPassages->SetVisible(Cpassages->GetChecked());
    if (!Cpassages->GetChecked()) aPassages->SetText("");
}

void TForm1::ManyNumbersKeyPress(TObject* /*Sender*/, char& Key) {
    if (Key != '\r') return;
    TStrings* lines = ManyNumbers->GetLines();
    const std::string last = lines->GetCount() > 0 ? lines->Get(lines->GetCount() - 1) : "";
    ManyNumbers->SetColor(last.size() == kNumberLength ? kMemoGood : kMemoBad);
}

void TForm1::PhonesGridSelectCell(TObject* /*Sender*/, int /*ACol*/, int ARow, bool& /*CanSelect*/) {
    if (ARow < 1 || ARow >= PhonesGrid->GetRowCount()) return;
    auto cell = [&](int col) { return PhonesGrid->GetCells(col, ARow); };
    for (int c = 0; c < kPhoneGridColumns; ++c) FEditorRow[c] = cell(c);
    aPhone->SetText(cell(colNumber));
    aName->SetText(cell(colName));
    aPassages->SetText(cell(colPasses));
    // The item the grid writes for the cell; none for a value no item names (kept by an add).
    aShedule->SetItemIndex(EditorItemOfCell(colSchedule, cell(colSchedule)));
    aAccesstype->SetItemIndex(EditorItemOfCell(colAccess, cell(colAccess)));
    CodeType->SetItemIndex(EditorItemOfCell(colCodeType, cell(colCodeType)));
    // A date the row cannot name counts as none, so the next add stores no stale expiry.
    TDateTime date;
    const bool dated = ExpiryCellToDate(cell(colExpiry), date);
    aEndtime->SetDate(dated ? date : sys::Date());
    Cdate->SetChecked(dated);
    aEndtime->SetVisible(dated);
    const bool passes = PassesTicked(aPassages->GetText());
    Cpassages->SetChecked(passes);
    aPassages->SetVisible(passes);
}
