// The C++ source that the resource compiler writes: a module's resources
// as the table the platform layer's FindResource reads (see
// platform/posix/module_table.h). File contents are pulled in by the
// assembler's .incbin, so that megabytes of data compile in no time.
#ifndef TAVO_TOOLS_RCOUTPUT_H
#define TAVO_TOOLS_RCOUTPUT_H

#include "tools/rc/rcfile.h"

#include <cstdint>
#include <string>
#include <vector>

struct RcCompiled {
    RcName type;
    RcName name;
    std::string file;        // a file whose bytes are the data, by full path,
    std::u16string units;    // or, without one, the data itself
    uint64_t size = 0;       // the file's size when it was read
    std::string bytes = {};  // data made from a file (pictures), in place of units
    std::string source = {}; // that file, by full path
};

// The source defining the table, for the script at scriptPath.
std::string rcSource(const std::string &scriptPath, std::vector<RcCompiled> resources);

#endif
