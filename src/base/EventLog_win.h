#pragma once
// The platform's application event log as the program's error sink.

namespace tessaly::win {

// Installs a sink that reports each entry as an error event of the source
// "Tessaly" (and echoes it to the debugger output).
void UseApplicationEventLog();

} // namespace tessaly::win
