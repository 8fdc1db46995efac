#pragma once
// "Now" and "today" of the class library, on the one clock of the tool (Clock.h): the local
// wall clock as TDateTime, without any zone conversion.
#include "platform/rtl/DateTime.h"

namespace sys {

TDateTime Now();
TDateTime Date();  // today at 00:00
TDateTime Time();  // the time of day alone

}  // namespace sys
