// Diagnostic hooks that the engine calls at fixed points. In this build they
// do nothing; they stay so the call sites keep their place for tracing.
#pragma once

// Receives an already formatted trace text.
void EngineTrace(const char *text);
// Called between the steps of long operations (cache flush, import).
void ProgressCheckpoint();
// Called after every synthetic key event; returns at once.
void KeyEventPause();
