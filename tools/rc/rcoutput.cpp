// Writing a module's resources as the C++ source of its resource table.
#include "tools/rc/rcoutput.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace {

constexpr int kUnitsPerLine = 12;

std::string octal(unsigned char c) {
    char escape[5];
    std::snprintf(escape, sizeof escape, "\\%03o", c);
    return escape;
}

// Text quoted for the assembler or for C++: both take a backslash before
// a quote or a backslash, and octal for anything unprintable.
std::string quoted(const std::string &text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + char(c);
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c < 0x20 || c >= 0x7F)
            out += octal(c);
        else
            out += char(c);
    }
    return out + "\"";
}

std::string dataSymbol(size_t index) {
    return "tavo_resource_data_" + std::to_string(index);
}

void fileData(std::vector<std::string> &lines, const std::string &symbol,
              const RcCompiled &resource) {
    lines.push_back("\t.balign 16");
    lines.push_back(symbol + ":");
    // Exactly the size measured, whatever the file holds by the time the
    // assembler reads it: at most that many bytes are taken, and a file
    // that shrank meanwhile is an error to GNU as and padded by clang's
    // assembler (its change makes the next build compile it again). The
    // table's size is always that of the data.
    if (resource.size > 0)
        lines.push_back("\t.incbin " + quoted(resource.file) + ", 0, " +
                        std::to_string(resource.size));
    lines.push_back("\t.org " + symbol + " + " + std::to_string(resource.size));
}

void unitData(std::vector<std::string> &lines, const std::string &symbol,
              const RcCompiled &resource) {
    lines.push_back("\t.balign 4");
    lines.push_back(symbol + ":");
    for (size_t at = 0; at < resource.units.size(); at += kUnitsPerLine) {
        std::ostringstream line;
        line << "\t.short ";
        size_t end = std::min(resource.units.size(), at + kUnitsPerLine);
        for (size_t i = at; i < end; i++)
            line << (i > at ? ", " : "") << unsigned(resource.units[i]);
        lines.push_back(line.str());
    }
}

void byteData(std::vector<std::string> &lines, const std::string &symbol,
              const RcCompiled &resource) {
    lines.push_back("\t.balign 4");
    lines.push_back(symbol + ":");
    for (size_t at = 0; at < resource.bytes.size(); at += 2 * kUnitsPerLine) {
        std::ostringstream line;
        line << "\t.byte ";
        size_t end = std::min(resource.bytes.size(), at + 2 * kUnitsPerLine);
        for (size_t i = at; i < end; i++)
            line << (i > at ? ", " : "") << unsigned(uint8_t(resource.bytes[i]));
        lines.push_back(line.str());
    }
}

// The data of every resource, in a read-only section of its own.
std::string assembly(const std::vector<RcCompiled> &resources) {
    std::vector<std::string> lines{"\t.section .rodata.tavo_resources,\"a\",@progbits"};
    for (size_t i = 0; i < resources.size(); i++) {
        lines.push_back("\t.globl " + dataSymbol(i));
        lines.push_back("\t.hidden " + dataSymbol(i));
        if (!resources[i].bytes.empty())
            byteData(lines, dataSymbol(i), resources[i]);
        else if (resources[i].file.empty())
            unitData(lines, dataSymbol(i), resources[i]);
        else
            fileData(lines, dataSymbol(i), resources[i]);
    }
    lines.push_back("\t.previous");
    std::string out = "asm(";
    for (const std::string &line : lines)
        out += "\n    " + quoted(line + "\n");
    return out + ");\n";
}

std::string nameFields(const RcName &name) {
    if (name.isNumber)
        return "nullptr, " + std::to_string(name.number);
    return quoted(name.text) + ", 0";
}

std::string entries(const std::vector<RcCompiled> &resources) {
    std::ostringstream out;
    out << "extern \"C\" {\n";
    for (size_t i = 0; i < resources.size(); i++)
        out << "__attribute__((visibility(\"hidden\"))) extern const unsigned char "
            << dataSymbol(i) << "[];\n";
    out << "}\n\nnamespace {\n\nconst TavoResource kResources[] = {\n";
    for (size_t i = 0; i < resources.size(); i++) {
        uint64_t size = !resources[i].bytes.empty() ? resources[i].bytes.size()
                        : resources[i].file.empty() ? resources[i].units.size() * 2
                                                    : resources[i].size;
        out << "    {" << nameFields(resources[i].type) << ", " << nameFields(resources[i].name)
            << ", " << dataSymbol(i) << ", " << size << "u},\n";
    }
    out << "};\n\n} // namespace\n\n";
    return out.str();
}

} // namespace

std::string rcSource(const std::string &scriptPath, std::vector<RcCompiled> resources) {
    std::sort(resources.begin(), resources.end(), [](const RcCompiled &a, const RcCompiled &b) {
        return a.type < b.type || (a.type == b.type && a.name < b.name);
    });
    std::ostringstream out;
    out << "// Generated by tavorc from " << scriptPath
        << ".\n// Edit that resource list, not this file.\n"
        << "#include \"platform/posix/module_table.h\"\n\n";
    if (resources.empty()) {
        out << "extern \"C\" __attribute__((visibility(\"default\"))) const TavoResourceTable "
               "TAVO_RESOURCE_TABLE = {kTavoResourceTableVersion, 0, nullptr};\n";
        return out.str();
    }
    out << assembly(resources) << "\n" << entries(resources);
    out << "extern \"C\" __attribute__((visibility(\"default\"))) const TavoResourceTable "
           "TAVO_RESOURCE_TABLE = {\n    kTavoResourceTableVersion, "
        << resources.size() << ", kResources};\n";
    return out.str();
}
