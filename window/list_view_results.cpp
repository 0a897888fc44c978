// Placeholder bodies; the list-view result list replaces them.
#include "window/list_view_results.h"

void ListViewResultList::insertRow(int, const char*) {}
void ListViewResultList::setCell(int, int, const char*) {}
int ListViewResultList::getCell(int, int, char* buffer) { buffer[0] = '\0'; return 0; }
void ListViewResultList::ensureVisible(int) {}
void ListViewResultList::clearRows() {}
void ListViewResultList::deleteRow(int) {}
int ListViewResultList::focusedRow() { return -1; }
