// The main window's list-view as a view of the row store: an owner-data list
// that asks for the texts of the rows it shows. Workers write into the store
// without waiting for the window; the progress timer brings the view up to
// date every 100 ms (row count, redraw, the newest row kept in view), and a
// change made on the window's own thread shows at once.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "engine/rows/result_store.h"

class ListViewResultList : public ResultStore {
public:
    // Shows the store in `listView`, which must have the LVS_OWNERDATA style;
    // the calling thread is the window's.
    void setListView(HWND listView);
    void deleteRow(int row) override;
    // Many rows: the list-view lets go of its selection and puts the focus on
    // the row that took the place of the first row that went.
    void deleteRows(std::vector<int> rows) override;
    void clearRows() override;
    int focusedRow() override;
    // Every selected row in order.
    std::vector<int> selectedRows();
    // The rows the user chose: the selected rows, or the focused row when none
    // is selected; empty when there is neither.
    std::vector<int> chosenRows();
    // Selects `rows` (after letting go of any selection) and gives `focused` the focus.
    void selectRows(const std::vector<int>& rows, int focused);
    // A header click: sorts by `column`, the other way round when the list is
    // already sorted by it. The focused row keeps the focus and is the one
    // selected. Only while no job writes rows.
    void sortByColumn(int column);
    // The column the rows are sorted by (-1: in the order the job wrote them) and which way.
    struct Order {
        int column = -1;
        bool descending = false;
    };
    Order order() const { return Order{sortColumn_, sortDescending_}; }
    void setOrder(Order order);
    // Row count, redraw and the row asked to be in view; on the window's thread.
    void refreshView();
    // Answers LVN_GETDISPINFOA with the text of the asked cell.
    void fillItemText(NMLVDISPINFOA& request);

protected:
    void rowsChanged() override;

private:
    void showSortMark();
    void focusOnly(int row);

    HWND listView_ = nullptr;
    DWORD viewThread_ = 0;
    uint32_t shownChanges_ = 0;
    // The column the rows are sorted by (-1: as the job wrote them) and which way.
    int sortColumn_ = -1;
    bool sortDescending_ = false;
    int markedColumn_ = -1;
    bool markedDescending_ = false;
};

// The one view, made with the main window's list.
ListViewResultList& resultView();
