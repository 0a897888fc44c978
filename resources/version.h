/* Kestrow's title, version and file names: included by the resource script
   and the code alike, so there is one place to change them. */
#ifndef KESTROW_VERSION_H
#define KESTROW_VERSION_H

#define KESTROW_NAME "Kestrow"
#define KESTROW_VERSION_TEXT "1.31"
#define KESTROW_VERSION_COMMA 1, 31, 0, 0
#define KESTROW_TITLE "Kestrow 1.31"
#define KESTROW_EXE_NAME "Kestrow.exe"
#define KESTROW_SETTINGS_FILE "dKest.dat"
#define KESTROW_SETTINGS_MAGIC "KEST1300"
#define KESTROW_PER_USER_MARKER "DefSet.txt"
#define KESTROW_HELP_FILE "ReadMe.htm"
#define KESTROW_VENDOR_FOLDER "Brevant"

#endif
