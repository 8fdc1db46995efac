// Timer steps of subsystems that are not here yet; each owner moves its step into its own
// folder. They run in their places in Timer1Timer, Find_deviceTimer and FtimerTimer.
#include "app/Unit1.h"

