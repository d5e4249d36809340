# The connection: station list, port list, connect, keep-alive, disconnect and dialog 138,
# against the drive simulator.
kvd_add_test(test_connect
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/test_connect.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_connect_dialog.cpp
    LIBS kvdapp kvdmainframe kvddrivesim)
target_include_directories(test_connect PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/tools)
target_compile_definitions(test_connect PRIVATE KVD_BIN_DIR="${KVD_BIN_DIR}")
