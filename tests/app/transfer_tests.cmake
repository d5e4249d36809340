# Reading and writing all parameters and the automatic update, against the drive simulator.
kvd_add_test(test_transfer
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/test_read.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_write.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_auto_update.cpp
    LIBS kvdapp kvddoc kvdmainframe kvddrivesim kvd_data_dir)
target_include_directories(test_transfer PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools)
target_compile_definitions(test_transfer PRIVATE KVD_BIN_DIR="${KVD_BIN_DIR}")
