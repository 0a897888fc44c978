// The main window's list-view as a view of the row store: an owner-data list
// that asks for the texts of the rows it shows. Workers write into the store
// without waiting for the window; the progress timer brings the view up to
// date every 100 ms (row count, redraw, the newest row kept in view), and a
// change made on the window's own thread shows at once.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "engine/rows/result_store.h"

class ListViewResultList : public ResultStore {
public:
    // Shows the store in `listView`, which must have the LVS_OWNERDATA style;
    // the calling thread is the window's.
    void setListView(HWND listView);
    void deleteRow(int row) override;
    int focusedRow() override;
    // Row count, redraw and the row asked to be in view; on the window's thread.
    void refreshView();
    // Answers LVN_GETDISPINFOA with the text of the asked cell.
    void fillItemText(NMLVDISPINFOA& request);

protected:
    void rowsChanged() override;

private:
    HWND listView_ = nullptr;
    DWORD viewThread_ = 0;
    uint32_t shownChanges_ = 0;
};

// The one view, made with the main window's list.
ListViewResultList& resultView();
