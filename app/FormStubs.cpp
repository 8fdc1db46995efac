// Empty stand-ins for what other subsystems own, so the window builds and runs before they
// land. Each owner deletes its stub here when it defines the real one in its own folder.
#include "app/FormStubs.h"
#include "app/Unit1.h"

