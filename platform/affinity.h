#pragma once

// Binds this process to the first two processors; the tools started afterwards inherit it.
// False when the system refuses (a single processor, say); the old binding then stays.
bool ApplyMultiCoreAffinity();
