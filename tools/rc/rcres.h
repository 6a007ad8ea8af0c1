// A module's resources as a Windows .res file, the form in which the
// Windows resource compiler hands them on; the Windows build checks that
// both compilers of a resource list give the same resources.
#ifndef TAVO_TOOLS_RCRES_H
#define TAVO_TOOLS_RCRES_H

#include "tools/rc/rcoutput.h"

#include <string>
#include <vector>

// The .res image of the resources, their data read from their files. False
// with an error naming the file when one can't be read whole.
bool rcResFile(const std::vector<RcCompiled> &resources, std::string &image, std::string &error);

#endif
