// Reply cases of subsystems that are not here yet; each owner moves its case into its own
// folder. Until then their frames are verified and dropped.
#include "app/Unit1.h"


// Routines of the firmware update and the cloud session that the link calls.
