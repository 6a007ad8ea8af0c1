// tavorc: compiles a module's resource list into the C++ source of its
// resource table, for the Linux build (the Windows build compiles the
// same list with the Windows resource compiler).
//
//   tavorc [-I dir]... [--depfile file] [--res file] input.rc [output.cpp]
//
// Files named in the list are found beside it, then in the -I folders.
// The depfile lists them for the build system; --res writes the resources
// as a Windows .res file, which the Windows build compares with the
// Windows resource compiler's. Every output is written whole or not at
// all; output.cpp may be left out when --res is given.
#include "tools/rc/rcdlgtemplate.h"
#include "tools/rc/rcfile.h"
#include "tools/rc/rcoutput.h"
#include "tools/rc/rcres.h"
#include "tools/rc/rcpictures.h"
#include "tools/rc/rcstrings.h"
#include "tools/rc/rcversion.h"

#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kLargestResource = 0xFFFFFFFFu; // a size is one DWORD

struct Options {
    std::vector<std::string> includes;
    std::string depfile;
    std::string res;
    std::string input;
    std::string output;
};

const char *const kUsage =
    "usage: tavorc [-I dir]... [--depfile file] [--res file] input.rc [output.cpp]";

bool parseArguments(int argc, char **argv, Options &options) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        std::string argument = argv[i];
        if ((argument == "-I" || argument == "--depfile") && i + 1 < argc)
            (argument == "-I" ? options.includes.emplace_back() : options.depfile) = argv[++i];
        else if (argument == "--res" && i + 1 < argc)
            options.res = argv[++i];
        else if (argument.rfind("-I", 0) == 0 && argument.size() > 2)
            options.includes.push_back(argument.substr(2));
        else if (argument.empty() || argument[0] == '-')
            return false;
        else
            files.push_back(argument);
    }
    if (files.size() != 2 && !(files.size() == 1 && !options.res.empty()))
        return false;
    options.input = files[0];
    options.output = files.size() == 2 ? files[1] : "";
    return true;
}

// The full path of a file the list names: as given when absolute, else
// beside the list, else in the first -I folder that has it.
std::string findFile(const Options &options, const std::string &name) {
    std::vector<fs::path> folders{fs::path(options.input).parent_path()};
    folders.insert(folders.end(), options.includes.begin(), options.includes.end());
    if (fs::path(name).is_absolute())
        folders = {fs::path()};
    for (const fs::path &folder : folders) {
        std::error_code error;
        fs::path candidate = folder / name;
        if (fs::is_regular_file(candidate, error))
            return fs::absolute(candidate, error).lexically_normal().string();
    }
    return "";
}

bool addFile(const Options &options, const RcFileResource &file, std::vector<RcCompiled> &out,
             std::string &error) {
    std::string where = options.input + ":" + std::to_string(file.line) + ": ";
    std::string path = findFile(options, file.file);
    if (path.empty()) {
        error = where + "cannot find " + file.file;
        return false;
    }
    std::error_code failure;
    uint64_t size = fs::file_size(path, failure);
    if (failure || size > kLargestResource) {
        error = where + path + (failure ? ": " + failure.message() : ": too large");
        return false;
    }
    out.push_back(RcCompiled{file.type, file.name, path, u"", size});
    return true;
}

bool isPicture(const RcName &type) {
    return type.isNumber &&
           (type.number == kRcBitmap || type.number == kRcIcon || type.number == kRcCursor);
}

// A bitmap, icon or cursor file, read and laid out as Windows keeps it.
bool addPicture(const Options &options, const RcFileResource &file, RcImageNumbers &numbers,
                std::vector<RcCompiled> &out, std::string &error) {
    std::string where = options.input + ":" + std::to_string(file.line) + ": ";
    std::string path = findFile(options, file.file);
    if (path.empty()) {
        error = where + "cannot find " + file.file;
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string contents((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<RcPicture> pictures;
    std::string problem = in.bad() ? "cannot read" : "";
    if (!problem.empty() ||
        !rcPictureResources(file.type.number, file.name, contents, numbers, pictures, problem)) {
        error = where + path + ": " + problem;
        return false;
    }
    for (RcPicture &picture : pictures) {
        RcCompiled compiled{picture.type, picture.name, "", u"", picture.bytes.size()};
        compiled.bytes = std::move(picture.bytes);
        compiled.source = path;
        out.push_back(std::move(compiled));
    }
    return true;
}

bool compile(const Options &options, std::vector<RcCompiled> &resources, std::string &error) {
    RcScript script;
    if (!rcReadScript(options.input, script, error))
        return false;
    for (const auto &[block, units] : rcStringBlocks(script.strings))
        resources.push_back(RcCompiled{RcName{true, kRcString, ""}, RcName{true, block, ""}, "",
                                       units, units.size() * 2});
    for (const RcDialog &dialog : script.dialogs) {
        std::u16string units = rcDialogTemplate(dialog);
        resources.push_back(
            RcCompiled{RcName{true, kRcDialog, ""}, dialog.name, "", units, units.size() * 2});
    }
    for (const RcVersion &version : script.versions) {
        std::u16string units = rcVersionResource(version);
        resources.push_back(
            RcCompiled{RcName{true, kRcVersion, ""}, version.name, "", units, units.size() * 2});
    }
    RcImageNumbers numbers;
    for (const RcFileResource &file : script.files)
        if (!(isPicture(file.type) ? addPicture(options, file, numbers, resources, error)
                                   : addFile(options, file, resources, error)))
            return false;
    return true;
}

// A file name as make reads it in a dependency list.
std::string escapedForMake(const std::string &path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\')
            out += '\\';
        out += c == '$' ? "$$" : std::string(1, c);
    }
    return out;
}

std::string dependencies(const Options &options, const std::vector<RcCompiled> &resources) {
    std::string target = options.output.empty() ? options.res : options.output;
    std::string out = escapedForMake(target) + ": " + escapedForMake(options.input);
    std::string last;
    for (const RcCompiled &resource : resources) {
        const std::string &file = resource.file.empty() ? resource.source : resource.file;
        if (!file.empty() && file != last)
            out += " \\\n  " + escapedForMake(file);
        last = file;
    }
    return out + "\n";
}

// Through a temporary file renamed over the target, so that a failed or
// interrupted run never leaves half a file.
bool writeWhole(const std::string &path, const std::string &contents, std::string &error) {
    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << contents;
        out.close();
        if (!out) {
            error = temporary + ": cannot write";
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code failure;
    fs::rename(temporary, path, failure);
    if (failure)
        error = path + ": " + failure.message();
    return !failure;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    if (!parseArguments(argc, argv, options)) {
        std::cerr << kUsage << "\n";
        return 2;
    }
    std::vector<RcCompiled> resources;
    std::string error;
    std::string res;
    bool ok = compile(options, resources, error) &&
              (options.output.empty() ||
               writeWhole(options.output, rcSource(options.input, resources), error)) &&
              (options.res.empty() ||
               (rcResFile(resources, res, error) && writeWhole(options.res, res, error))) &&
              (options.depfile.empty() ||
               writeWhole(options.depfile, dependencies(options, resources), error));
    if (!ok) {
        std::cerr << error << "\n";
        return 1;
    }
    return 0;
}
