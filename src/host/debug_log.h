// The debug log ovi1.log in the simulator's folder. Nothing opens it but the
// gauge that asks for it; while it is open every gauge callback writes its
// name line to it at every call.
#pragma once

namespace ovi::host {

// Opens SimulatorFolder + "\ovi1.log" for writing (truncating it) when the
// log is not open yet. False when it stays closed (no simulator folder, or
// the file cannot be created).
bool OpenLogFile();
// Closes the log; later callbacks write nothing.
void CloseLogFile();
// Writes `line` as it is (it carries its own "\n") while the log is open.
void WriteLogLine(const char* line);
// Writes one printf-style line while the log is open.
void WriteLogLineF(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace ovi::host
