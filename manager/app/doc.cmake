# The project document and the project commands: logic without widgets, shared by the
# windows, the tests and the command-line tool.
add_library(kvddoc STATIC
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DocumentHost.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ModelSelection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CQ770Doc.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProjectOps.cpp
)
target_include_directories(kvddoc PUBLIC ${PROJECT_SOURCE_DIR}/manager)
target_link_libraries(kvddoc PUBLIC Qt6::Core kvdparams kvdlink)
# No QObject classes here.
set_target_properties(kvddoc PROPERTIES AUTOMOC OFF)
