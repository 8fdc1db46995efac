#pragma once
// The review pictures must not depend on the machine's network: a run takes the workstation as
// offline and points every peer of the tool at a loopback port where nothing listens.

// Sets ZENTOR_ONLINE=0, the cloud, update and file hosts to 127.0.0.1 on a closed port, and
// the news page to an empty one, for this process.
void TakeRunOffline();

// A loopback port that nothing listens on (0 when the system gives none).
int ClosedLoopbackPort();
