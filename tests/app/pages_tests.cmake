# The group edit pages, the tabbed parameter window and the small keyboard: the page table and
# input checks as data, row writes and group transmits against the drive simulator.
kvd_add_test(test_pages
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/test_page_table.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_row_writer.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_group_page.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_parameter_window.cpp
    LIBS kvdapp kvddoc kvdmainframe kvddrivesim kvd_data_dir Qt6::Test)
target_include_directories(test_pages PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools)
target_compile_definitions(test_pages PRIVATE KVD_BIN_DIR="${KVD_BIN_DIR}")
