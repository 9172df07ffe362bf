#pragma once

namespace tovel {

// Moves a newly opened descriptor above 0, 1 and 2 when it landed on one of
// them because a standard stream was closed, so that console reads and writes
// can never reach a data file or the table. Returns the descriptor to use.
int keep_clear_of_standard_streams(int fd);

}  // namespace tovel
