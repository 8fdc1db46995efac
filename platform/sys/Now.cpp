#include "platform/sys/Now.h"

#include "platform/sys/Clock.h"

namespace sys {

TDateTime Now() { return LocalSecondsToDateTime(LocalWallSeconds()); }
TDateTime Date() { return DateOf(Now()); }
TDateTime Time() { return TimeOf(Now()); }

}  // namespace sys
