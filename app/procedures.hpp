// The program's public procedures, known to the runtime by name.
#pragma once

#include "runtime/value.hpp"

// Backup job
void MAIN();
rt::Value KOPIEREN(const rt::Value& cText, rt::Loc loc = rt::Loc::current());

// Application environment
void APPSYS();
void DBESYS();
void APPEXIT();

// Error system
void ERRORSYS();
rt::Value LINESPLIT(const rt::Value& cText, const rt::Value& nWidth,
                    rt::Loc loc = rt::Loc::current());

// Module constants, prepared by the start routine before any procedure runs.
void prepareBackupJobConstants();
void prepareAppSysConstants();
void prepareAppExitConstants();
void prepareDbeSysConstants();
void prepareErrorSysConstants();
