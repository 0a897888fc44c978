# Kestrow.exe and its GUI test program. Everything in shell/, window/, actions/
# and startup/ except the entry point goes into one library that both link.
enable_language(RC)
file(GLOB GUI_SOURCES CONFIGURE_DEPENDS shell/*.cpp window/*.cpp actions/*.cpp startup/*.cpp)
list(FILTER GUI_SOURCES EXCLUDE REGEX "_model\\.cpp$")
list(FILTER GUI_SOURCES EXCLUDE REGEX "startup/main\\.cpp$")
set(GUI_LIBS kestrow_model kestrow_engine comctl32 comdlg32 shell32 ole32 uuid gdi32 user32 kernel32)
add_library(kestrow_gui STATIC ${GUI_SOURCES})
target_link_libraries(kestrow_gui PUBLIC ${GUI_LIBS})
target_compile_definitions(kestrow_gui PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601 _WIN32_IE=0x0700)
set(RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/resources/kestrow.rc)
# The resource compiler does not report the files the script takes in.
file(GLOB RESOURCE_INPUTS CONFIGURE_DEPENDS resources/*.manifest resources/*.ico resources/*.bmp resources/*.h)
set_source_files_properties(${RESOURCE_SCRIPT} PROPERTIES OBJECT_DEPENDS "${RESOURCE_INPUTS}")
# Finding the program's dialogs by caption: for the GUI tests and the window benchmark.
set(WINDOW_FINDER_SOURCE ${CMAKE_SOURCE_DIR}/tests/gui/window_finder.cpp)
add_library(kestrow_window_finder STATIC EXCLUDE_FROM_ALL ${WINDOW_FINDER_SOURCE})
target_link_libraries(kestrow_window_finder PUBLIC user32)

if(KESTROW_WINDOWS_TEST_BUILD)
  file(GLOB GUI_TEST_SOURCES CONFIGURE_DEPENDS tests/gui/*.cpp)
  list(REMOVE_ITEM GUI_TEST_SOURCES ${WINDOW_FINDER_SOURCE})
  # The command line's row writer: a saved list is checked against what it writes.
  add_executable(kestrow_gui_tests ${GUI_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/cli/row_output.cpp ${RESOURCE_SCRIPT})
  target_link_libraries(kestrow_gui_tests PRIVATE kestrow_gui kestrow_window_finder gtest)
  build_as_test_program(kestrow_gui_tests)
  add_test(NAME kestrow_gui_tests COMMAND kestrow_gui_tests)
  # The longest of the Windows test programs starts first; the console tests
  # run beside it, as nothing of theirs is on the display.
  set_tests_properties(kestrow_gui_tests PROPERTIES TIMEOUT 900 COST 1000)
  return()
endif()

add_executable(Kestrow WIN32 startup/main.cpp ${RESOURCE_SCRIPT})
target_link_libraries(Kestrow PRIVATE kestrow_gui)
set_target_properties(Kestrow PROPERTIES OUTPUT_NAME Kestrow)
# Benchmark: one job run in the main window (bench/window_report.sh); never a test.
add_executable(bench_window_report bench/window/window_report.cpp ${RESOURCE_SCRIPT})
target_link_libraries(bench_window_report PRIVATE kestrow_gui kestrow_window_finder psapi)
set_target_properties(bench_window_report PROPERTIES EXCLUDE_FROM_ALL TRUE)

# ReadMe.htm lives beside the program; Help opens it.
add_custom_command(TARGET Kestrow POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/ReadMe.htm $<TARGET_FILE_DIR:Kestrow>/ReadMe.htm)

# Whole-program checks under Wine: each tests/wine/*.sh gets Kestrow.exe's path.
file(GLOB WINE_TEST_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/wine/*.sh)
foreach(script ${WINE_TEST_SCRIPTS})
  get_filename_component(name ${script} NAME_WE)
  add_test(NAME wine_${name} COMMAND bash ${script} $<TARGET_FILE:Kestrow>)
  set_tests_properties(wine_${name} PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endforeach()

# Whether Windows 2000 loads the programs at all is decided by their import tables and PE
# headers, which Wine does not check: read them from the files, against the allow-list kept
# beside the check.
set(IMPORT_CHECK_TOOLS OBJDUMP=${CMAKE_OBJDUMP} NM=${CMAKE_NM} OBJCOPY=${CMAKE_OBJCOPY})
set(IMPORT_CHECK_PROGRAMS $<TARGET_FILE:Kestrow> $<TARGET_FILE:kestrow-cli>)
add_test(NAME imports_windows2000
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/imports/check_imports.sh ${IMPORT_CHECK_PROGRAMS})
add_test(NAME imports_windows2000_catches
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/imports/check_imports_catches.sh ${IMPORT_CHECK_PROGRAMS})
set_tests_properties(imports_windows2000 imports_windows2000_catches
  PROPERTIES ENVIRONMENT "${IMPORT_CHECK_TOOLS}")
