# The project document: file format, life cycle and the project commands.
kvd_add_test(test_doc
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/test_project_file.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_doc.cpp
        ${CMAKE_CURRENT_LIST_DIR}/test_project_ops.cpp
    LIBS kvddoc kvd_data_dir)
target_include_directories(test_doc PRIVATE ${PROJECT_SOURCE_DIR}/tests)
