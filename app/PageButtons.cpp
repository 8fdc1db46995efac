#include "app/PageButtons.h"

TPageButtonStates PageButtonStates(bool enabled, int accessLevel) {
    TPageButtonStates s;
    s.Device = s.Users = s.Log = enabled;
    const bool admin = enabled && accessLevel == kAccessAdministrator;
    s.Setting = s.Shedule = s.Service = admin;
    s.CloseSessionVisible = enabled;
    return s;
}
