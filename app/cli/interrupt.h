#pragma once

// SIGINT and SIGTERM ask the run to stop after the character in hand, so no
// folder is left half migrated. A second SIGINT ends the process at once;
// every change already made is in the journal by then.
namespace Interrupt {

void install();
bool requested();
// 130 for SIGINT, 143 for SIGTERM; 0 when no signal came.
int exitStatus();

} // namespace Interrupt
