// Writes a seeded synthetic folder tree for the scan benchmark.
//   bench_scan_tree DIR PROFILE [SEED]
// PROFILE "large": about 20,000 files and 2 GB (small files, files of several
// MiB, a few of more than 100 MiB); "many": 100,000 files, about 3 GB, 68% of
// them of a size no other file has (4 KB to 100 KB), the rest of 1 to 4,096
// bytes; "small": 300,000 files of 1 to 2,048 bytes, every tenth a copy;
// "million": 1,000,000 files of 1 to 1,024 bytes, every tenth a copy;
// "directory": 2,000 files, about 200 MB, for "Directory" mode;
// "headers": 20,000 files of 2 to 64 KiB, each starting with one of three
// common headers (600 bytes to 4 KiB), then bytes of its own; "shared":
// 20,000 files of shared content: a licence text at offset 0 (30%), zero
// padding (10%), about 30 files from each of 200 templates of about 50,000
// bytes with a few fields changed (30%), copies of earlier files (10%),
// files of their own (20%); "copies": 1,000 copies of one 1 MiB file beside 2,000
// unrelated files of 1 to 64 KiB; "versions": 30 released versions of one package
// of 1,500 files (45,000 in all), each release in a folder of its own: a file is
// the previous release's copy (75%), the same bytes with its version string
// changed in place (15%), rewritten at a similar size (7%) or new (3%). Profiles
// without copyEvery mix groups of 2 to 5 exact copies, near twins of equal
// size, near twins whose checksums are equal, empty files, hard links and
// nested folders. The same seed always gives the same tree.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace stdfs = std::filesystem;

class Random {
public:
    explicit Random(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    uint64_t below(uint64_t count) { return next() % count; }
    // Log-uniform in [low, high].
    uint64_t spread(uint64_t low, uint64_t high) {
        const double unit = static_cast<double>(next() >> 11) / 9007199254740992.0;
        return static_cast<uint64_t>(
            std::exp(std::log(double(low)) + unit * std::log(double(high) / double(low))));
    }

private:
    uint64_t state_;
};

// A file's bytes: a seeded stream, optionally with one changed byte and extra bytes.
struct Content {
    uint64_t seed;
    uint64_t size;
    int64_t changedAt = -1;
    uint64_t appended = 0;
    bool sparse = false;
};

struct Profile {
    int files;
    int folders;
    uint64_t smallLow, smallHigh;
    int medium;
    uint64_t mediumLow, mediumHigh;
    int large;
    int uniquePercent;  // files of a size no other file has
    bool uniqueSparse;  // those hold only their first 4,096 bytes
    int copyEvery;      // every n-th file a copy of an earlier one, the rest fresh
};

const Profile kLarge{20000, 400, 1024, 100000, 250, 1u << 20, 12u << 20, 4, 0, false, 0};
const Profile kMany{100000, 2000, 1, 4096, 0, 0, 0, 0, 68, false, 0};
const Profile kSmall{300000, 3000, 1, 2048, 0, 0, 0, 0, 0, false, 10};
const Profile kMillion{1000000, 10000, 1, 1024, 0, 0, 0, 0, 0, false, 10};
const Profile kDirectory{2000, 60, 4096, 400000, 0, 0, 0, 0, 0, false, 0};

void writeContent(const std::string& path, const Content& content, std::vector<uint8_t>& buffer) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        std::perror(path.c_str());
        std::exit(2);
    }
    Random bytes(content.seed);
    const uint64_t written = content.sparse ? std::min<uint64_t>(content.size, 4096) : content.size;
    for (uint64_t offset = 0; offset < written; offset += buffer.size()) {
        const std::size_t piece =
            static_cast<std::size_t>(std::min<uint64_t>(buffer.size(), written - offset));
        for (std::size_t i = 0; i < piece; i += 8) {
            const uint64_t word = bytes.next();
            std::memcpy(buffer.data() + i, &word, std::min<std::size_t>(8, piece - i));
        }
        if (content.changedAt >= 0 && uint64_t(content.changedAt) >= offset &&
            uint64_t(content.changedAt) < offset + piece) {
            buffer[content.changedAt - offset] ^= 0x20;
        }
        std::fwrite(buffer.data(), 1, piece, out);
    }
    std::vector<uint8_t> tail(content.appended, 'k');
    std::fwrite(tail.data(), 1, tail.size(), out);
    std::fclose(out);
    if (content.sparse) stdfs::resize_file(path, content.size);
}

class TreeWriter {
public:
    TreeWriter(const std::string& root, const Profile& profile, uint64_t seed)
        : root_(root), profile_(profile), random_(seed), buffer_(1 << 20) {}

    void write() {
        stdfs::create_directories(root_);
        folders_.push_back(root_);
        for (int i = 1; i < profile_.folders; ++i) {
            const std::string parent = folders_[random_.below(folders_.size())];
            folders_.push_back(parent + "/d" + std::to_string(i));
            stdfs::create_directories(folders_.back());
        }
        for (int i = 0; i < profile_.large; ++i) addFile(i == 3 ? copyOf(bigContents_[0]) : bigFresh());
        for (int i = 0; i < profile_.medium; ++i) addFile(fresh(profile_.mediumLow, profile_.mediumHigh));
        while (fileCount_ < profile_.files) addFile(nextSmall());
        std::printf("%s: %d files, %llu bytes\n", root_.c_str(), fileCount_,
                    static_cast<unsigned long long>(byteCount_));
    }

private:
    Content bigFresh() {
        Content content{random_.next(), (100u << 20) + random_.below(40u << 20)};
        bigContents_.push_back(content);
        return content;
    }

    Content fresh(uint64_t low, uint64_t high) {
        Content content{random_.next(), random_.spread(low, high)};
        recent_.push_back(content);
        return content;
    }

    Content copyOf(const Content& content) { return content; }

    Content nextSmall() {
        if (profile_.copyEvery != 0) {
            if (fileCount_ % profile_.copyEvery != profile_.copyEvery - 1 || recent_.empty()) {
                // Sizes spread evenly, so that few tiny files share their bytes by chance.
                recent_.push_back(
                    Content{random_.next(), profile_.smallLow + random_.below(profile_.smallHigh)});
                return recent_.back();
            }
            return recent_[random_.below(recent_.size())];
        }
        const uint64_t kind = random_.below(100);
        if (kind < uint64_t(profile_.uniquePercent)) {
            // A size no other file has.
            return Content{random_.next(), 4096 + uint64_t(fileCount_), -1, 0, profile_.uniqueSparse};
        }
        if (recent_.empty() || random_.below(100) < 45) {
            return fresh(profile_.smallLow, profile_.smallHigh);
        }
        Content content =
            recent_[recent_.size() - 1 - random_.below(std::min<std::size_t>(recent_.size(), 50))];
        const uint64_t variant = random_.below(100);
        if (variant < 55) {
            pendingCopies_ = 1 + int(random_.below(3));  // a group of 2 to 5 copies
        } else if (variant < 70) {
            content.changedAt = int64_t(random_.below(content.size));
        } else if (variant < 82) {
            content.changedAt = int64_t(random_.below(content.size) | 2);  // same checksum
            if (uint64_t(content.changedAt) >= content.size) content.changedAt = -1;
        } else if (variant < 92) {
            content.appended = 1 + content.size / 100;
        } else if (variant < 96) {
            content = Content{0, 0};
        } else {
            linkNext_ = true;
        }
        return content;
    }

    void addFile(const Content& content) {
        const std::string folder = folders_[random_.below(folders_.size())];
        const std::string path = folder + "/f" + std::to_string(fileCount_);
        if (linkNext_ && !written_.empty()) {
            stdfs::create_hard_link(written_[random_.below(written_.size())], path);
            linkNext_ = false;
        } else {
            writeContent(path, content, buffer_);
            byteCount_ += content.sparse ? 0 : content.size + content.appended;
        }
        written_.push_back(path);
        ++fileCount_;
        const int copies = pendingCopies_;
        pendingCopies_ = 0;
        for (int i = 0; i < copies && fileCount_ < profile_.files; ++i) addFile(content);
    }

    std::string root_;
    Profile profile_;
    Random random_;
    std::vector<uint8_t> buffer_;
    std::vector<std::string> folders_;
    std::vector<std::string> written_;
    std::vector<Content> recent_;
    std::vector<Content> bigContents_;
    int fileCount_ = 0;
    uint64_t byteCount_ = 0;
    int pendingCopies_ = 0;
    bool linkNext_ = false;
};

// The trees of shared content, written from bytes held in memory.
class SharedTreeWriter {
public:
    SharedTreeWriter(const std::string& root, uint64_t seed) : root_(root), random_(seed) {}

    void headers() {
        const std::vector<uint8_t> heads[] = {bytes(600), bytes(2000), bytes(4096)};
        for (int i = 0; i < 20000; ++i) {
            std::vector<uint8_t> file = heads[i % 3];
            append(file, bytes(random_.spread(2048, 65536) - file.size() % 2048));
            add(file);
        }
        report();
    }

    void shared() {
        const std::vector<uint8_t> licences[] = {text(1500), text(3800)};
        std::vector<std::vector<uint8_t>> templates;
        for (int i = 0; i < 200; ++i) templates.push_back(bytes(45000 + random_.below(12000)));
        std::vector<std::vector<uint8_t>> made;
        for (int i = 0; i < 20000; ++i) {
            const uint64_t kind = random_.below(100);
            std::vector<uint8_t> file;
            if (kind < 30) {
                file = licences[random_.below(2)];
                append(file, text(random_.spread(500, 30000)));
            } else if (kind < 40) {
                // A few bytes of its own, then zeros to a round size.
                file.assign((4 + random_.below(124)) * 1024, 0);
                const std::vector<uint8_t> own = bytes(200 + random_.below(2000));
                std::copy(own.begin(), own.end(), file.begin());
            } else if (kind < 70) {
                file = templates[random_.below(templates.size())];
                for (uint64_t field = 1 + random_.below(8); field > 0; --field) {
                    const uint64_t at = random_.below(file.size() - 16), end = at + 4 + random_.below(12);
                    for (uint64_t i = at; i < end; ++i) file[i] = uint8_t(random_.next());
                }
            } else if (kind < 80 && !made.empty()) {
                file = made[random_.below(made.size())];
            } else {
                file = bytes(random_.spread(1024, 100000));
            }
            made.push_back(file);
            if (made.size() > 500) made.erase(made.begin() + random_.below(made.size()));
            add(file);
        }
        report();
    }

    void versions() {
        constexpr int kFiles = 1500, kReleases = 30;
        std::vector<std::vector<uint8_t>> package;
        for (int i = 0; i < kFiles; ++i) package.push_back(releaseFile(0));
        for (int release = 0; release < kReleases; ++release) {
            for (int i = 0; i < kFiles; ++i) {
                const std::string folder = "/r" + std::to_string(release) + "/p" + std::to_string(i % 40);
                const uint64_t kind = random_.below(100);
                if (release == 0 || kind < 75) {
                } else if (kind < 90) {
                    stampVersion(package[i], release);
                } else if (kind < 97) {
                    package[i] = releaseFile(release);
                } else {
                    addAt(folder, releaseFile(release));
                }
                addAt(folder, package[i]);
            }
        }
        report();
    }

    void copies() {
        const std::vector<uint8_t> copied = bytes(1u << 20);
        for (int i = 0; i < 3000; ++i) add(i % 3 == 0 ? copied : bytes(random_.spread(1024, 65536)));
        report();
    }

private:
    std::vector<uint8_t> bytes(uint64_t size) {
        std::vector<uint8_t> out(size);
        for (std::size_t i = 0; i < out.size(); i += 8) {
            const uint64_t word = random_.next();
            std::memcpy(out.data() + i, &word, std::min<std::size_t>(8, out.size() - i));
        }
        return out;
    }

    // Words of lower-case letters and spaces, as in a licence or a source file.
    std::vector<uint8_t> text(uint64_t size) {
        std::vector<uint8_t> out(size);
        for (uint8_t& byte : out) byte = random_.below(6) == 0 ? ' ' : uint8_t('a' + random_.below(26));
        return out;
    }

    static void append(std::vector<uint8_t>& file, const std::vector<uint8_t>& more) {
        file.insert(file.end(), more.begin(), more.end());
    }

    // A package file: text or bytes of 1 to 64 KiB whose version string stands at offset 64.
    std::vector<uint8_t> releaseFile(int release) {
        std::vector<uint8_t> file =
            random_.below(2) == 0 ? text(random_.spread(1024, 65536)) : bytes(random_.spread(1024, 65536));
        stampVersion(file, release);
        return file;
    }

    static void stampVersion(std::vector<uint8_t>& file, int release) {
        char version[16];
        std::snprintf(version, sizeof version, "version 2.%02d", release);
        std::memcpy(file.data() + 64, version, std::strlen(version));
    }

    void add(const std::vector<uint8_t>& file) { addAt("/d" + std::to_string(count_ % 97), file); }

    void addAt(const std::string& below, const std::vector<uint8_t>& file) {
        const std::string folder = root_ + below;
        stdfs::create_directories(folder);
        std::ofstream(folder + "/f" + std::to_string(count_), std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
        ++count_;
        bytes_ += file.size();
    }

    void report() const {
        std::printf("%s: %d files, %llu bytes\n", root_.c_str(), count_,
                    static_cast<unsigned long long>(bytes_));
    }

    std::string root_;
    Random random_;
    int count_ = 0;
    uint64_t bytes_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs(
            "usage: bench_scan_tree DIR large|many|small|million|directory|headers|shared|copies|versions "
            "[SEED]\n",
            stderr);
        return 2;
    }
    const std::string name = argv[2];
    const uint64_t seed = argc > 3 ? std::stoull(argv[3]) : 1;
    SharedTreeWriter shared(argv[1], seed);
    if (name == "headers") return shared.headers(), 0;
    if (name == "shared") return shared.shared(), 0;
    if (name == "copies") return shared.copies(), 0;
    if (name == "versions") return shared.versions(), 0;
    const Profile* profile = name == "large"       ? &kLarge
                             : name == "many"      ? &kMany
                             : name == "small"     ? &kSmall
                             : name == "million"   ? &kMillion
                             : name == "directory" ? &kDirectory
                                                   : nullptr;
    if (profile == nullptr) {
        std::fprintf(stderr, "bench_scan_tree: unknown profile %s\n", argv[2]);
        return 2;
    }
    TreeWriter(argv[1], *profile, seed).write();
    return 0;
}
