#pragma once

// Asks the system to power off now (logind over D-Bus, without asking the user; `systemctl
// poweroff` where logind does not answer). False when neither took the request.
// Never called by a test: the countdown takes its shutdown action from whoever opens it.
bool ShutdownComputer();
