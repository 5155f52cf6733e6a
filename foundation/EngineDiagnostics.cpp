#include "EngineDiagnostics.h"

void EngineTrace(const char *) {}

void ProgressCheckpoint() {}

void KeyEventPause() {}
