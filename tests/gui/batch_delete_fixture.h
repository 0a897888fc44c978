// A search report over real files in a private folder, and the "Delete ALL"
// confirmation opened on it as the action dialog opens it.
#pragma once

#include <string>
#include <vector>

#include "tests/gui/gui_harness.h"

struct ListedTwin {
    std::string a;  // names inside the fixture's files folder
    std::string b;
    std::string percent;
};

// Rows at 100%, 98% and 100%.
extern const std::vector<ListedTwin> kMixedTwins;

class BatchDeleteTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Full path of `name` inside the files folder.
    std::string file(const std::string& name) const { return files_ + name; }
    void writeFile(const std::string& name, const std::string& content) const;
    bool exists(const std::string& name) const;
    std::string content(const std::string& name) const;

    // Lists the twins as a finished search does: "Start", the rows, "End".
    void listTwins(const std::vector<ListedTwin>& twins);
    // Writes both files of each twin, with "content of <percent>", and lists them.
    void writeTwins(const std::vector<ListedTwin>& twins);
    int listedRows() const;

    // Opens the confirmation for `column` ("A" or "B") in `mode` and returns
    // when it has closed; `runState` is left as the dialog left it.
    void confirmDeleteAll(char column, uint32_t mode);

private:
    std::string files_;
};
