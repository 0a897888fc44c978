#include "tests/gui/batch_delete_fixture.h"

#include <fstream>
#include <iterator>
#include <map>

#include "actions/batch_delete.h"
#include "engine/rows/result_list.h"
#include "resources/resource_ids.h"

const std::vector<ListedTwin> kMixedTwins = {
    {"a\\1.txt", "b\\1.txt", "100"},
    {"a\\2.txt", "b\\2.txt", "98"},
    {"a\\3.txt", "b\\3.txt", "100"},
};

void BatchDeleteTest::SetUp() {
    GuiTest::SetUp();
    files_ = makeTempFolder();
    CreateDirectoryA(file("a").c_str(), nullptr);
    CreateDirectoryA(file("b").c_str(), nullptr);
}

void BatchDeleteTest::TearDown() {
    removeTempFolder(files_);
    GuiTest::TearDown();
}

void BatchDeleteTest::writeFile(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << content;
}

bool BatchDeleteTest::exists(const std::string& name) const {
    return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string BatchDeleteTest::content(const std::string& name) const {
    std::ifstream in(file(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void BatchDeleteTest::listTwins(const std::vector<ListedTwin>& twins) {
    ResultList& rows = *app().results;
    rows.clearRows();
    rows.insertRow(0, "Start");
    // The search gives each file one number, whatever the rows that name it.
    std::map<std::string, uint32_t> numbers;
    const auto numberOf = [&](const std::string& name) {
        return numbers.emplace(name, static_cast<uint32_t>(numbers.size())).first->second;
    };
    int row = 1;
    for (const ListedTwin& twin : twins) {
        const std::string a = file(twin.a);
        const std::string b = file(twin.b);
        const auto percent = static_cast<uint32_t>(std::stoul(twin.percent));
        rows.insertTwinRow(
            row++, TwinRecord{a.c_str(), b.c_str(), percent, {}, {}, numberOf(twin.a), numberOf(twin.b)});
    }
    rows.insertRow(row, "End");
    rows.setCell(row, 1, (std::to_string(twins.size()) + " twins found").c_str());
}

void BatchDeleteTest::writeTwins(const std::vector<ListedTwin>& twins) {
    for (const ListedTwin& twin : twins) {
        writeFile(twin.a, "content of " + twin.percent);
        writeFile(twin.b, "content of " + twin.percent);
    }
    listTwins(twins);
}

int BatchDeleteTest::listedRows() const {
    int rows = 0;
    char cell[kPathTextSize];
    while (app().results->getCell(rows, 0, cell) != 0) ++rows;
    return rows;
}

void BatchDeleteTest::confirmDeleteAll(char column, uint32_t mode) {
    app().settings.batchDeleteMode = mode;
    app().runState = column == 'A' ? DeleteAllA : DeleteAllB;
    runDeleteAll(window());
}
