// Work items run on several threads at once, for recordings that each
// wait on a process of their own.
#ifndef TAVO_TOOLS_VOICE_PARALLEL_JOBS_H
#define TAVO_TOOLS_VOICE_PARALLEL_JOBS_H

#include <functional>
#include <string>

// Calls work for every item from 0 to count - 1, on up to jobs threads
// (at least one). After a failure no new item is started. Returns false
// when an item failed, with *failed the first failed item and error its
// error.
bool parallelRun(size_t count, unsigned jobs,
                 const std::function<bool(size_t item, std::string &error)> &work, size_t *failed,
                 std::string &error);

#endif
