#pragma once

// SIGINT and SIGTERM ask the run to stop after the character in hand, so no
// folder is left half migrated. A second SIGINT ends the process at once;
// every change already made is in the journal by then.
namespace Interrupt {

void install();
bool requested();
// Standard output was closed (the reader of a pipe went away): the run stops
// after the character in hand as it does for SIGINT, instead of being killed
// by SIGPIPE in the middle of one.
void outputClosed();
// 130 for SIGINT, 143 for SIGTERM, 141 for a closed standard output; 0 when
// none of these came.
int exitStatus();

} // namespace Interrupt
