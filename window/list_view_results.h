// The result list over the main window's list-view control: every operation
// is a synchronous message, so a worker thread may call it.
#pragma once

#include <windows.h>

#include "engine/result_list.h"

class ListViewResultList : public ResultList {
public:
    explicit ListViewResultList(HWND listView = nullptr) : listView_(listView) {}
    void setListView(HWND listView) { listView_ = listView; }
    void insertRow(int row, const char* text) override;
    void setCell(int row, int column, const char* text) override;
    int getCell(int row, int column, char* buffer) override;
    void ensureVisible(int row) override;
    void clearRows() override;
    void deleteRow(int row) override;
    int focusedRow() override;

private:
    HWND listView_;
};
