#pragma once

// A test seam for the program's file-system steps: every write, sync, truncation and deletion
// SQLite makes, and every rename and removal of our own, passes step(). Without PENNAVOX_FAULT
// nothing is counted and nothing fails.
//
// PENNAVOX_FAULT=kill:N  the process dies (as by a power cut or kill -9) just before its N-th step.
// PENNAVOX_FAULT=full:N  from the N-th step on, every write fails as on a full disk.
namespace FaultHook {

enum class Step { Write, Other };

// Reads PENNAVOX_FAULT and puts the counting file layer under SQLite. Called before the first
// database is opened; again is harmless.
void installFromEnvironment();

// In-process: every write fails as on a full disk while on (tests of one process).
void setDiskFull(bool on);

// One step of our own. False when it must fail as on a full disk (only for Step::Write).
bool step(Step kind = Step::Other);

} // namespace FaultHook
