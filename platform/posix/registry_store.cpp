// The registry file: one line per key or value, fields separated by tabs,
// names percent-escaped and data in hexadecimal:
//
//   tavo registry 1
//   key     Software\Tavo
//   value   Software\Tavo   Font Size   4   18000000
#include "platform/posix/registry_store.h"
#include "platform/posix/xdg.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace posix {

namespace {

constexpr char kHeader[] = "tavo registry 1";

// ---- Text form ----

std::string escape(const std::string &text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20 || c == '%' || c == 0x7F) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool unescape(const std::string &text, std::string &out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return false;
        int high = hexDigit(text[i + 1]), low = hexDigit(text[i + 2]);
        if (high < 0 || low < 0)
            return false;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string toHex(const std::vector<BYTE> &data) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (BYTE b : data) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

bool fromHex(const std::string &text, std::vector<BYTE> &data) {
    if (text.size() % 2 != 0)
        return false;
    data.clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return false;
        data.push_back(static_cast<BYTE>(high * 16 + low));
    }
    return true;
}

std::vector<std::string> splitFields(const std::string &line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    return fields;
}

RegistryKey &keyAt(RegistryTree &tree, const std::string &path) {
    RegistryKey &key = tree[foldName(path)];
    if (key.path.empty())
        key.path = path;
    return key;
}

// One line of the file into tree; false for a line that is not well made.
bool parseLine(const std::string &line, RegistryTree &tree) {
    std::vector<std::string> fields = splitFields(line);
    std::string path, name;
    if (fields.size() == 2 && fields[0] == "key" && unescape(fields[1], path)) {
        keyAt(tree, path);
        return true;
    }
    RegistryValue value;
    char *end = nullptr;
    if (fields.size() != 5 || fields[0] != "value" || !unescape(fields[1], path) ||
        !unescape(fields[2], value.name) || !fromHex(fields[4], value.data))
        return false;
    unsigned long type = std::strtoul(fields[3].c_str(), &end, 10);
    if (fields[3].empty() || *end != '\0' || type > 0xFFFFFFFFul)
        return false;
    value.type = static_cast<DWORD>(type);
    keyAt(tree, path).values[foldName(value.name)] = std::move(value);
    return true;
}

RegistryTree parseRegistry(const std::string &text) {
    RegistryTree tree;
    std::istringstream lines(text);
    std::string line;
    // Without the header nothing is understood, but everything is kept.
    bool understood = std::getline(lines, line) && line == kHeader;
    if (!understood && !line.empty())
        tree.unreadLines.push_back(line);
    while (std::getline(lines, line))
        if (!line.empty() && !(understood && parseLine(line, tree)))
            tree.unreadLines.push_back(line);
    return tree;
}

std::string formatRegistry(const RegistryTree &tree) {
    std::string text = std::string(kHeader) + "\n";
    for (const auto &[folded, key] : tree) {
        if (folded.empty() && key.values.empty())
            continue;
        text += "key\t" + escape(key.path) + "\n";
        for (const auto &[foldedName, value] : key.values)
            text += "value\t" + escape(key.path) + "\t" + escape(value.name) + "\t" +
                    std::to_string(value.type) + "\t" + toHex(value.data) + "\n";
    }
    for (const std::string &line : tree.unreadLines)
        text += line + "\n";
    return text;
}

// ---- The file ----

std::string registryPath() {
    const char *path = std::getenv("TAVO_REGISTRY");
    if (path && *path)
        return path;
    return posix::tavoDirectory(nullptr, "XDG_CONFIG_HOME", "/.config") + "/registry";
}

// What identifies one version of the file on disk.
struct Stamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};

    bool operator==(const Stamp &other) const {
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && modified.tv_sec == other.modified.tv_sec &&
               modified.tv_nsec == other.modified.tv_nsec;
    }
};

Stamp stampOf(const std::string &path) {
    Stamp stamp;
    struct stat status;
    if (stat(path.c_str(), &status) == 0) {
        stamp.exists = true;
        stamp.device = status.st_dev;
        stamp.inode = status.st_ino;
        stamp.size = status.st_size;
        stamp.modified = status.st_mtim;
    }
    return stamp;
}

struct Cache {
    std::mutex lock;
    std::string path;
    Stamp stamp;
    bool loaded = false;
    RegistryTree tree;
};

// Never destroyed, so that settings saved during static destruction still
// find it.
Cache &cache() {
    static Cache *instance = new Cache;
    return *instance;
}

std::string readWhole(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Reads the file again when it is not the one last read (or the
// variable now names another).
void refresh(Cache &c) {
    std::string path = registryPath();
    Stamp stamp = stampOf(path);
    if (c.loaded && path == c.path && stamp == c.stamp)
        return;
    c.path = path;
    c.stamp = stamp;
    c.tree = stamp.exists ? parseRegistry(readWhole(path)) : RegistryTree{};
    c.loaded = true;
}

bool makeDirectories(const std::string &folder) {
    for (size_t slash = 0; slash != std::string::npos;) {
        slash = folder.find('/', slash + 1);
        std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

std::string folderOf(const std::string &path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool writeAll(int fd, const std::string &text) {
    for (size_t done = 0; done < text.size();) {
        ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

// Replaces the file with text in one rename.
bool saveAtomically(const std::string &path, const std::string &text) {
    std::string temporary = path + "." + std::to_string(getpid()) + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    bool written = writeAll(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

// Holds an exclusive lock on the file's companion lock file.
class WriterLock {
public:
    explicit WriterLock(const std::string &path) {
        fd_ = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~WriterLock() {
        if (fd_ >= 0)
            close(fd_); // releases the lock
    }
    WriterLock(const WriterLock &) = delete;
    WriterLock &operator=(const WriterLock &) = delete;
    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

} // namespace

std::string foldName(const std::string &name) {
    std::string folded = name;
    for (char &c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

std::unique_lock<std::mutex> lockRegistry() {
    return std::unique_lock(cache().lock);
}

const RegistryTree &currentRegistry() {
    Cache &c = cache();
    refresh(c);
    return c.tree;
}

LONG changeRegistry(const std::function<LONG(RegistryTree &)> &change) {
    Cache &c = cache();
    std::string path = registryPath();
    if (!makeDirectories(folderOf(path)))
        return ERROR_CANTWRITE;
    WriterLock writer(path);
    if (!writer.held())
        return ERROR_CANTWRITE;
    c.loaded = false; // the latest content, whatever the stamp says
    refresh(c);
    RegistryTree changed = c.tree;
    LONG result = change(changed);
    if (result != ERROR_SUCCESS)
        return result;
    if (!saveAtomically(path, formatRegistry(changed)))
        return ERROR_CANTWRITE;
    c.tree = std::move(changed);
    c.stamp = stampOf(path);
    return ERROR_SUCCESS;
}

} // namespace posix
