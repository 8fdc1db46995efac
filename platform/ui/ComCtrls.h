#pragma once
// The date picker.
#include "platform/rtl/DateTime.h"
#include "platform/ui/Controls.h"

enum TDateTimeKind { dtkDate, dtkTime };
enum TDTDateFormat { dfShort, dfLong };

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* AOwner);

    // The date and time shown; setting from code raises no OnChange.
    TDateTime GetDateTime() const;
    void SetDateTime(TDateTime dt);
    TDateTime GetDate() const;  // midnight of the shown day
    void SetDate(TDateTime d);  // keeps the time of day
    TDateTime GetTime() const;
    void SetTime(TDateTime t);
    TDateTimeKind GetKind() const { return FKind; }
    void SetKind(TDateTimeKind k);
    TDTDateFormat GetDateFormat() const { return FDateFormat; }
    void SetDateFormat(TDTDateFormat f) { FDateFormat = f; }
    TDateTime GetMinDate() const { return FMinDate; }
    void SetMinDate(TDateTime d);
    TDateTime GetMaxDate() const { return FMaxDate; }
    void SetMaxDate(TDateTime d);

    TNotifyEvent OnChange;  // the user changed the date or time

    friend struct PickerSignals;

private:
    TDateTimeKind FKind = dtkDate;
    TDTDateFormat FDateFormat = dfShort;
    TDateTime FMinDate, FMaxDate;
};
