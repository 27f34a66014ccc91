// The process entry: checks the runtime's version and hands the start record to the
// runtime's start routine.
#pragma once

// The version query is a parameter so that a test can stand in for an older runtime.
using VersionQuery = long (*)();

// Returns the process exit code: 999 when the runtime is too old, otherwise the code
// the run ends with (0, or 1 after an error end).
int entry(VersionQuery versionQuery);
