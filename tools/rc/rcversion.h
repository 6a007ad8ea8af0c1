// VERSIONINFO statements of a resource list: the version resource by
// which Windows knows a module's version, language and kind (an input
// method is a driver of subtype input method), read into its parts and
// laid out as Windows stores it (VS_VERSIONINFO).
//
//   1 VERSIONINFO
//   FILEVERSION 1,3,0,0          PRODUCTVERSION 1,3,0,0
//   FILEFLAGSMASK, FILEFLAGS, FILEOS, FILETYPE, FILESUBTYPE  value [| value]...
//   BEGIN
//       BLOCK "StringFileInfo" BEGIN BLOCK "0C0404B0" BEGIN
//           VALUE "FileDescription", "text" ... END END
//       BLOCK "VarFileInfo" BEGIN VALUE "Translation", 0x0C04, 1200 END
//   END
#ifndef TAVO_TOOLS_RCVERSION_H
#define TAVO_TOOLS_RCVERSION_H

#include "tools/rc/rcfile.h"
#include "tools/rc/rctokens.h"

#include <string>
#include <vector>

// Reads the statement from tokens[at], which follows the resource name and
// the word VERSIONINFO, to its closing END; at is left after it. False
// with "path:line: problem" in error.
bool rcReadVersion(const std::string &path, const std::vector<RcToken> &tokens, size_t &at,
                    RcVersion &version, std::string &error);

// The resource's bytes (VS_VERSIONINFO) as UTF-16 units.
std::u16string rcVersionResource(const RcVersion &version);

#endif
