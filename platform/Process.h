#pragma once

namespace talivo {

// Makes a write past the process's file-size limit (ulimit -f) fail like a full disk, with an
// error the writer reports, instead of raising the signal that would end the program at once
// without a word and leave its work unsaved. Call once at start.
void ReportFileSizeLimitAsError();

} // namespace talivo
