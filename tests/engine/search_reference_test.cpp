// The search must list exactly what the plain order of work lists: every
// pair of the walk order, filtered by recorded size, checksum and path,
// compared in full. The plain search here is that order of work, written out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "engine/compare/compare_files.h"
#include "engine/compare/similarity.h"
#include "engine/index/file_hash.h"
#include "engine/search/directory/block_layout.h"
#include "engine/search/pairs/held_ring.h"
#include "tests/engine/search_fixture.h"

namespace {

struct PlainEntry {
    std::string path;
    uint32_t size;
    uint32_t hash;
    bool identified;
    fs::FileIdentity identity;
};

void plainWalk(const SearchOptions& options, const std::string& folder, std::vector<PlainEntry>& entries) {
    fs::listFolder(folder.c_str(), [&](const fs::FolderEntry& listed) {
        const std::string path = joined(folder, listed.name);
        if (listed.isFolder) return plainWalk(options, path, entries);
        PlainEntry entry{path, 0, 0, false, {}};
        entry.identified = fs::fileIdentity(path.c_str(), entry.identity);
        if (options.mode == QuickDirMode) {
            const fs::OwnedFile file = fs::openRead(path.c_str());
            entry.size = file ? static_cast<uint32_t>(fs::fileSize(file.get())) : 0xFFFFFFFFu;
            if (options.useHash) entry.hash = hashFile(path.c_str());
        }
        entries.push_back(entry);
    });
}

// A file's bytes as they are now; nullopt when it cannot be read.
std::optional<std::vector<uint8_t>> plainRead(const std::string& path) {
    // One read of the whole file: a character at a time costs minutes under the sanitizers.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
        return std::nullopt;
    return bytes;
}

// The plain comparison of two files, byte by byte at the sizes they have now:
// 0 for a file that cannot be read, a refused size, or unequal sizes in "Quick
// Dir"; two empty files count only with zero-length checking on.
uint32_t plainPercent(const SearchState& search, const std::optional<std::vector<uint8_t>>& fileA,
                      const std::optional<std::vector<uint8_t>>& fileB) {
    if (!fileA || !fileB) return 0;
    const std::vector<uint8_t>&a = *fileA, &b = *fileB;
    if (a.empty() && b.empty()) return search.state.checkZeroLength != 0 ? 100 : 0;
    if (a.empty() || b.empty()) return 0;
    if (search.options.mode == QuickDirMode && a.size() != b.size()) return 0;
    const std::size_t compared = std::min(a.size(), b.size());
    uint32_t differing = static_cast<uint32_t>(std::max(a.size(), b.size()) - compared);
    for (std::size_t i = 0; i < compared; ++i) differing += a[i] != b[i];
    return similarityPercent(static_cast<uint32_t>(std::max(a.size(), b.size())), differing);
}

bool namesOneFile(const PlainEntry& a, const PlainEntry& b) {
    return a.identified && b.identified && a.identity == b.identity;
}

std::vector<ResultRow> plainSearch(SearchState& search, const std::string& folder) {
    std::vector<PlainEntry> entries;
    plainWalk(search.options, folder, entries);
    std::vector<std::optional<std::vector<uint8_t>>> bytes;
    for (const PlainEntry& entry : entries) bytes.push_back(plainRead(entry.path));
    std::vector<ResultRow> rows{{"Start", std::to_string(entries.size()) + " files found.", ""}};
    for (std::size_t a = 0; a < entries.size(); ++a) {
        for (std::size_t b = a + 1; b < entries.size(); ++b) {
            if (entries[a].size != entries[b].size || entries[a].hash != entries[b].hash) continue;
            if (entries[a].path == entries[b].path || namesOneFile(entries[a], entries[b])) continue;
            const uint32_t percent = plainPercent(search, bytes[a], bytes[b]);
            if (percent >= search.options.matchPercent) {
                rows.push_back(twinRow(entries[a].path, entries[b].path, std::to_string(percent)));
            }
        }
    }
    rows.push_back({"End", std::to_string(rows.size() - 1) + " twins found", ""});
    return rows;
}

// A seeded tree of small files: unique ones, exact copies, near twins of
// equal size (some with equal checksums), longer and shorter variants, empty
// files, hard links, nested folders.
class TreeMaker {
public:
    TreeMaker(const TestFolder& folder, uint32_t seed) : folder_(folder), random_(seed) {}

    void make(int files) {
        const char* folders[] = {"", "a/", "a/b/", "c/", "c/d/e/"};
        for (const char* name : folders) makeFolder(folder_, name);
        for (int i = 0; i < files; ++i) {
            const std::string name = std::string(folders[pick(5)]) + "f" + std::to_string(i);
            folder_.write(name, nextContent());
            made_.push_back(name);
        }
#ifndef _WIN32
        for (int i = 0; i < 3; ++i) {
            const std::string target = made_[pick(static_cast<uint32_t>(made_.size()))];
            std::filesystem::create_hard_link(folder_.path(target),
                                              folder_.path("c/link" + std::to_string(i)));
        }
        // A link to a file and a folder reached a second time through a link.
        std::filesystem::create_symlink(folder_.path(made_[0]), folder_.path("a/soft"));
        std::filesystem::create_directory_symlink(folder_.path("c/d"), folder_.path("a/b/again"));
#endif
    }

private:
    uint32_t pick(uint32_t count) {
        return static_cast<uint32_t>(random_() % count);
    }

    std::vector<uint8_t> freshBytes() {
        static const std::size_t sizes[] = {0, 1, 2, 3, 5, 100, 1000, 4096, 50001, 60000};
        const std::size_t size = pick(3) == 0 ? 1 + pick(3000) : sizes[pick(10)];
        std::vector<uint8_t> bytes(size);
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(pick(4) == 0 ? random_() : 'k');
        return bytes;
    }

    std::vector<uint8_t> nextContent() {
        if (contents_.empty() || pick(3) == 0) return remember(freshBytes());
        std::vector<uint8_t> bytes = contents_[pick(static_cast<uint32_t>(contents_.size()))];
        switch (bytes.empty() ? 0 : pick(6)) {
            case 0: break;  // exact copy
            case 1: bytes[pick(static_cast<uint32_t>(bytes.size()))] ^= 1; break;
            case 2: bytes[(pick(static_cast<uint32_t>(bytes.size())) | 2) % bytes.size()] ^= 0x80; break;
            case 3: bytes.insert(bytes.end(), 1 + pick(40), 'k'); break;
            case 4: bytes.resize(bytes.size() - 1 - pick(static_cast<uint32_t>(bytes.size()))); break;
            default:
                for (int n = 0; n < 20; ++n) bytes[pick(static_cast<uint32_t>(bytes.size()))] = 'q';
                break;
        }
        return remember(bytes);
    }

    std::vector<uint8_t> remember(std::vector<uint8_t> bytes) {
        contents_.push_back(bytes);
        return bytes;
    }

    const TestFolder& folder_;
    std::mt19937 random_;
    std::vector<std::vector<uint8_t>> contents_;
    std::vector<std::string> made_;
};

// A tree of shared content for "Directory" at `match`: files that start with
// one of a few common headers, zero-padded files, sets of copies (one with a
// second name), and
// templates with fields changed in as many bytes as the percentage allows
// (and one more), spread one per block, at equal sizes and with the longer
// file's extra bytes counted, across the sizes where the percentage is
// counted on sizes scaled down.
void writeSharedContent(const TestFolder& folder, uint32_t match) {
    std::mt19937 random(match + 7);
    auto randomBytes = [&](std::size_t size) {
        std::vector<uint8_t> bytes(size);
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        return bytes;
    };
    auto spreadChanges = [](std::vector<uint8_t> bytes, uint32_t changes, std::size_t within) {
        for (uint32_t i = 0; i < changes; ++i) bytes[uint64_t{i} * within / changes] ^= 0x5A;
        return bytes;
    };
    const std::vector<uint8_t> headers[] = {randomBytes(600), randomBytes(2000), randomBytes(4096)};
    for (uint32_t i = 0; i < 18; ++i) {
        std::vector<uint8_t> bytes = headers[i % 3];
        const std::vector<uint8_t> own = randomBytes(1500 + random() % 4000);
        bytes.insert(bytes.end(), own.begin(), own.end());
        folder.write("header" + std::to_string(i), bytes);
    }
    for (uint32_t i = 0; i < 12; ++i) {
        std::vector<uint8_t> bytes(20000 + 8 * (i % 3), 0);
        const std::vector<uint8_t> own = randomBytes(40 * i);
        std::copy(own.begin(), own.end(), bytes.begin());
        folder.write("zeros" + std::to_string(i), bytes);
    }
    // 61,439 and 102,399 bytes end a step: one byte longer, the percentage allows 1,024 more.
    for (const uint32_t size : {8000u, 50001u, 61439u, 102399u}) {
        const std::string name = "template" + std::to_string(size);
        const std::vector<uint8_t> base = randomBytes(size);
        const uint32_t limit = maxDifferingBytesFor(size, match);
        for (uint32_t copy = 0; copy < 3; ++copy) folder.write(name + "copy" + std::to_string(copy), base);
#ifndef _WIN32
        // A second name of one copy: never its twin.
        std::filesystem::create_hard_link(folder.path(name + "copy0"), folder.path(name + "link"));
#endif
        // Two copies of a file one byte from the copies' at the end: no copy of
        // theirs, though their blocks may all match.
        std::vector<uint8_t> lastByte = base;
        lastByte.back() ^= 1;
        for (uint32_t copy = 0; copy < 2; ++copy)
            folder.write(name + "lastByte" + std::to_string(copy), lastByte);
        for (uint32_t copy = 0; copy < 2; ++copy)
            folder.write(name + "atLimit" + std::to_string(copy), spreadChanges(base, limit, size));
        folder.write(name + "pastLimit", spreadChanges(base, limit + 1, size));
        for (uint32_t fields = 1; fields <= 6; ++fields) {
            std::vector<uint8_t> bytes = base;
            for (uint32_t field = 0; field < fields; ++field)
                for (uint32_t at = random() % (size - 4), end = at + 4; at < end; ++at) bytes[at] = '#';
            folder.write(name + "fields" + std::to_string(fields), bytes);
        }
        for (const uint32_t extra : {1u, limit / 3 + 1, 1100u}) {
            std::vector<uint8_t> longer = base;
            const std::vector<uint8_t> tail = randomBytes(extra);
            longer.insert(longer.end(), tail.begin(), tail.end());
            const uint32_t longerLimit = maxDifferingBytesFor(size + extra, match);
            if (longerLimit < extra) continue;
            for (const uint32_t changes : {longerLimit - extra, longerLimit - extra + 1})
                folder.write(name + "longer" + std::to_string(extra) + "by" + std::to_string(changes),
                             spreadChanges(longer, changes, size));
        }
    }
}

}  // namespace

TEST(SearchReference, FastSearchListsWhatThePlainSearchLists) {
    for (const uint32_t seed : {11u, 12u}) {
        TestFolder folder;
        TreeMaker(folder, seed).make(50);
        const std::string root = folder.root().string();
        for (const SearchSetup base : {SearchSetup{DirectoryMode, false}, SearchSetup{QuickDirMode, false},
                                       SearchSetup{QuickDirMode, true}}) {
            for (const uint32_t match : {100u, 99u, 95u, 90u, 75u, 50u}) {
                for (const bool zeroLength : {false, true}) {
                    SearchSetup options = base;
                    options.matchPercent = match;
                    options.zeroLength = zeroLength;
                    SearchState plain(options);
                    const auto expected = plainSearch(plain, root);
                    EXPECT_GT(expected.size(), 2u);
                    for (const DirectoryRoute route : routesFor(options)) {
                        options.route = route;
                        SearchState fast(options);
                        EXPECT_EQ(fast.search(root), expected)
                            << "seed " << seed << " mode " << options.mode << " hash " << options.useHash
                            << " match " << match << " route " << route;
                    }
                }
            }
        }
    }
}

// Files too large to be read side by side in one piece: classes split and
// near twins keep their counts from one piece to the next.
TEST(SearchReference, LargeGroupsReadPieceByPieceListWhatThePlainSearchLists) {
    TestFolder folder;
    std::vector<uint8_t> bytes(7u << 20);
    std::mt19937 random(5);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    folder.write("a", bytes);
    folder.write("b", bytes);
    bytes[100] ^= 1;  // differs in the first piece
    folder.write("c", bytes);
    bytes[100] ^= 1;
    bytes[bytes.size() - 3] ^= 4;  // differs in the last piece only
    folder.write("d", bytes);
    folder.write("e", bytes);
    for (uint32_t i = 0; i < bytes.size(); i += 20) bytes[i] ^= 8;  // 95% alike
    folder.write("f", bytes);
    const std::string root = folder.root().string();
    for (const bool useHash : {false, true}) {
        for (const uint32_t match : {100u, 99u, 94u}) {
            const SearchSetup options{QuickDirMode, useHash, match, false};
            SearchState fast(options);
            SearchState plain(options);
            EXPECT_EQ(fast.search(root), plainSearch(plain, root))
                << "hash " << useHash << " match " << match;
        }
    }
    // "Directory" with memory for a block of 4 MiB only (beside the read
    // buffers): a file too large for it (over half of it), and pairs of files
    // it had to let go early, are read pair by pair. With the whole block, its
    // ring of held files grows past its first 4 MiB.
    TestFolder near;
    for (const uint32_t size : {300000u, 480000u, 640000u, 800000u, 960000u, 1100000u, 2150000u}) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + size);
        near.write("prefix" + std::to_string(size), prefix);
        if (size == 480000u || size == 960000u) near.write("copy" + std::to_string(size), prefix);
        std::vector<uint8_t> changed = prefix;
        for (uint32_t i = 0; i < size; i += 3) changed[i] ^= 1;
        if (size < 1000000u) near.write("changed" + std::to_string(size), changed);
    }
    const std::string nearRoot = near.root().string();
    for (const uint32_t match : {50u, 75u}) {
        const SearchSetup options{DirectoryMode, false, match, false};
        SearchState plain(options);
        const auto expected = plainSearch(plain, nearRoot);
        EXPECT_GT(expected.size(), 12u);
        for (const bool starved : {true, false}) {
            SearchState fast(options);
            if (starved)
                fast.state.allocateBlock = [](std::size_t bytes) {
                    const bool refused = bytes > (4u << 20) && bytes != kSearchBufferSize;
                    return refused ? nullptr : static_cast<uint8_t*>(std::calloc(bytes, 1));
                };
            EXPECT_EQ(fast.search(nearRoot), expected) << "match " << match << " starved " << starved;
        }
    }
}

// A ring of held files that grows while it wraps to its start keeps every
// held file's bytes, whichever part of it moves, and the room after its
// newest file grows.
TEST(SearchReference, AWrappedRingGrowsWithItsFilesKeptWhole) {
    struct Held {
        std::size_t offset;
        uint32_t size;
    };
    // Cache lines of files 1, 2 and 3 (1 is let go before 3 wraps to the
    // start), and where 3 lines go once the ring grows from 10 lines to 13:
    // the files after the oldest move up, or the files at the start move after them.
    struct Layout {
        uint32_t lines[3];
        std::size_t nextAt;
    };
    constexpr uint32_t kLine = kHeldAlignment;
    for (const Layout& layout : {Layout{{4, 4, 4}, 4}, Layout{{4, 5, 2}, 0}}) {
        HeldRing<Held> ring;
        std::vector<uint8_t> block(14 * kLine - 1, 0);
        ring.useBlock(block.data(), block.size(), 10 * kLine);
        const auto keepAll = [] { return false; };
        std::size_t offset = 0;
        bool moved = false;
        for (const uint8_t file : {1, 2, 3}) {
            if (file == 3) ring.letGoOldest();
            const uint32_t size = layout.lines[file - 1] * kLine;
            ASSERT_TRUE(ring.makeRoom(size, offset, moved, keepAll));
            std::fill_n(ring.bytesAt(offset), size, file);
            ring.hold(Held{offset, size});
        }
        EXPECT_FALSE(moved);
        ASSERT_TRUE(ring.makeRoom(3 * kLine, offset, moved, keepAll));
        EXPECT_TRUE(moved);
        EXPECT_EQ(offset, layout.nextAt * kLine);
        for (std::size_t place = ring.first(); place < ring.size(); ++place) {
            const uint8_t* bytes = ring.bytesAt(ring[place].offset);
            EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + ring[place].size),
                      std::vector<uint8_t>(ring[place].size, static_cast<uint8_t>(place + 1)))
                << place;
        }
    }
}

// "Directory" near the threshold: twins whose differing bytes are spread one
// per stretch, as many as the percentage allows (and one more), equal and
// shorter, among files of nearby sizes, across the sizes where the percentage
// is counted on sizes scaled down.
TEST(SearchReference, TwinsAtTheThresholdListWhatThePlainSearchLists) {
    for (const uint32_t match : {90u, 95u, 99u, 75u, 50u}) {
        TestFolder folder;
        std::mt19937 random(match);
        auto randomBytes = [&](std::size_t size) {
            std::vector<uint8_t> bytes(size);
            for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
            return bytes;
        };
        auto spreadChanges = [](std::vector<uint8_t> bytes, uint32_t changes) {
            for (uint32_t i = 0; i < changes; ++i) bytes[uint64_t{i} * bytes.size() / changes] ^= 0x5A;
            return bytes;
        };
        for (const uint32_t size : {120u, 1500u, 20000u, 50001u, 61440u}) {
            const std::string name = std::to_string(size);
            const std::vector<uint8_t> base = randomBytes(size);
            const uint32_t limit = maxDifferingBytesFor(size, match);
            folder.write(name + "base", base);
            folder.write(name + "copy", base);
            folder.write(name + "atLimit", spreadChanges(base, limit));
            folder.write(name + "pastLimit", spreadChanges(base, limit + 1));
            // Changes packed one every few bytes from the start: as many short stretches spoilt as they can.
            for (const uint32_t stride : {3u, 4u}) {
                if (uint64_t{stride} * (limit + 1) > size) continue;
                for (const uint32_t changes : {limit, limit + 1}) {
                    std::vector<uint8_t> packed = base;
                    for (uint32_t i = 0; i < changes; ++i) packed[i * stride] ^= 0x5A;
                    folder.write(name + "every" + std::to_string(stride) + "by" + std::to_string(changes),
                                 packed);
                }
            }
            // A near copy of base, and copies of it as far as allowed (and one more) whose changes miss
            // its own: base lies exactly that much farther from them.
            if (limit >= 8) {
                std::vector<uint8_t> nearCopy = base;
                std::vector<bool> changed(size, false);
                for (uint32_t i = 0; i < limit / 8; ++i) {
                    const uint64_t at = uint64_t{i} * size / (limit / 8) + 1;
                    nearCopy[at] ^= 0x5A;
                    changed[at] = true;
                }
                folder.write(name + "near", nearCopy);
                std::vector<uint32_t> unchanged;
                for (uint32_t at = 0; at < size; ++at)
                    if (!changed[at]) unchanged.push_back(at);
                for (const uint32_t changes : {limit, limit + 1}) {
                    std::vector<uint8_t> far = nearCopy;
                    for (uint32_t i = 0; i < changes; ++i)
                        far[unchanged[uint64_t{i} * unchanged.size() / changes]] ^= 0xA5;
                    folder.write(name + "near" + std::to_string(changes), far);
                }
            }
            std::vector<uint8_t> shorter(base.begin(), base.end() - limit / 2);
            folder.write(name + "shorter", spreadChanges(shorter, limit - limit / 2));
            for (uint32_t i = 1; i <= 5; ++i)
                folder.write(name + "other" + std::to_string(i), randomBytes(size + i));
        }
        const std::string root = folder.root().string();
        const SearchSetup options{DirectoryMode, false, match, false};
        SearchState plain(options);
        const auto expected = plainSearch(plain, root);
        EXPECT_GT(expected.size(), 12u);
        for (const DirectoryRoute route : routesFor(options)) {
            for (const bool starved : {false, true}) {
                SearchState fast(SearchSetup{DirectoryMode, false, match, false, route});
                // Without memory for the blocks' values the search visits every pair instead.
                if (starved)
                    fast.state.allocateBlock = [](std::size_t bytes) {
                        return bytes < (64u << 10) ? nullptr : static_cast<uint8_t*>(std::calloc(bytes, 1));
                    };
                EXPECT_EQ(fast.search(root), expected)
                    << "match " << match << " starved " << starved << " route " << route;
            }
        }
    }
}

// The worst pair of two sizes that may qualify spoils one block of the
// smaller file per differing byte it may hold. The blocks left identical must
// be at least one wherever blocks are used, and at least the fewest each of
// the two files is listed by; larger sizes near each 1,024-byte step and each
// size near the smaller.
TEST(SearchReference, ListingBlocksHoldForTheWorstPairOfSizes) {
    for (const uint32_t match : {90u, 95u, 99u}) {
        const BlockLayout layout = blockLayoutFor(match, 1u << 20);
        const uint32_t width = listingBlockWidth(layout.width, match);
        ASSERT_GE(width, 3u) << "match " << match;
        for (uint32_t smaller = layout.smallestSize; smaller < 120000; smaller += smaller < 1100 ? 1 : 149) {
            const uint32_t fewestSmaller = fewestSharedBlocks(smaller, match, width);
            std::vector<uint32_t> largerSizes;
            for (uint32_t extra = 0; extra < 8; ++extra) largerSizes.push_back(smaller + extra);
            for (uint32_t step = 49152; step < 200000; step += 1024)
                for (const uint32_t near : {step - 1, step, step + 1, 50000u, 50001u})
                    largerSizes.push_back(near);
            for (const uint32_t larger : largerSizes) {
                const uint32_t limit = maxDifferingBytesFor(larger, match);
                if (larger < smaller || limit < larger - smaller) continue;
                const uint32_t blocks = smaller / width;
                const uint32_t identical = blocks - std::min(limit - (larger - smaller), blocks);
                EXPECT_GT(identical, 0u) << match << "% " << smaller << " " << larger;
                EXPECT_LE(fewestSmaller, identical) << match << "% " << smaller << " " << larger;
                EXPECT_LE(fewestSharedBlocks(larger, match, width), identical)
                    << match << "% " << smaller << " " << larger;
            }
        }
    }
}

TEST(SearchReference, SharedContentListsWhatThePlainSearchLists) {
    for (const uint32_t match : {90u, 95u, 99u, 100u, 75u, 50u}) {
        TestFolder folder;
        writeSharedContent(folder, match);
        const std::string root = folder.root().string();
        const SearchSetup options{DirectoryMode, false, match, false};
        SearchState plain(options);
        const auto expected = plainSearch(plain, root);
        EXPECT_GT(expected.size(), 20u) << "match " << match;
        for (const DirectoryRoute route : routesFor(options)) {
            SearchState fast(SearchSetup{DirectoryMode, false, match, false, route});
            EXPECT_EQ(fast.search(root), expected) << "match " << match << " route " << route;
        }
    }
}

// An abort at any point of a "Directory" search, the listing of pairs
// included, lists a prefix of the complete search's rows; progress never falls.
TEST(SearchReference, AnAbortedDirectorySearchListsAPrefixOfTheRows) {
    // The listing at 95%; the memory route at 50%, where nothing else serves.
    for (const SearchSetup& options : {SearchSetup{DirectoryMode, false, 95, false, ListingRoute},
                                       SearchSetup{DirectoryMode, false, 50, false}}) {
        const uint32_t match = options.matchPercent;
        TestFolder folder;
        writeSharedContent(folder, match);
        const std::string root = folder.root().string();
        SearchState complete(options);
        uint32_t allReads = 0;
        complete.state.readBlock = [&](fs::File* file, void* buffer, uint32_t count) {
            ++allReads;
            return fs::readFile(file, buffer, count);
        };
        std::vector<ResultRow> expected = complete.search(root);
        expected.pop_back();
        for (const uint32_t abortAt : {1u, allReads / 8, allReads / 3, allReads / 2, allReads - 1}) {
            SearchState search(options);
            uint32_t reads = 0, lastProgress = 0;
            bool progressFell = false;
            search.state.readBlock = [&](fs::File* file, void* buffer, uint32_t count) {
                const uint32_t progress = search.state.progressPercent.load();
                progressFell = progressFell || progress < lastProgress;
                lastProgress = progress;
                if (++reads == abortAt) search.abort();
                return fs::readFile(file, buffer, count);
            };
            std::vector<ResultRow> rows = search.search(root);
            ASSERT_GE(rows.size(), 2u);
            EXPECT_EQ(rows.back()[0], "Aborted") << "match " << match << " abort at read " << abortAt;
            rows.pop_back();
            ASSERT_LE(rows.size(), expected.size());
            EXPECT_TRUE(std::equal(rows.begin(), rows.end(), expected.begin()))
                << "match " << match << " abort at read " << abortAt;
            EXPECT_FALSE(progressFell) << "match " << match << " abort at read " << abortAt;
            EXPECT_EQ(search.state.progressPercent.load(), 101u);
        }
    }
}

// An abort while "Quick Dir" reads its files, with files read ahead of the
// search, lists a prefix of the complete search's rows.
TEST(SearchReference, AnAbortedQuickDirSearchListsAPrefixOfTheRows) {
    TestFolder folder;
    TreeMaker(folder, 13).make(300);
    const std::string root = folder.root().string();
    for (const bool useHash : {false, true}) {
        const SearchSetup options{QuickDirMode, useHash, 90, false};
        SearchState complete(options);
        std::vector<ResultRow> expected = complete.search(root);
        expected.pop_back();
        ASSERT_GT(expected.size(), 6u);
        for (const std::size_t abortAt : {std::size_t{1}, expected.size() / 2, expected.size() - 1}) {
            SearchState search(options);
            search.list.onInsert = [&](int row, const char*) {
                if (static_cast<std::size_t>(row) == abortAt) search.abort();
            };
            std::vector<ResultRow> rows = search.search(root);
            ASSERT_GE(rows.size(), 2u);
            EXPECT_EQ(rows.back()[0], "Aborted") << "abort at row " << abortAt;
            rows.pop_back();
            ASSERT_LE(rows.size(), expected.size());
            EXPECT_TRUE(std::equal(rows.begin(), rows.end(), expected.begin())) << "abort at row " << abortAt;
        }
    }
}
