# Stand in for the help program and the configuration program until their own targets merge.
foreach(companion Help Optmgr)
    add_executable(${companion} WIN32 ${PROJECT_SOURCE_DIR}/tests/e2e/companion_standin.cpp)
    target_compile_options(${companion} PRIVATE ${TOLVANE_WARNINGS})
    target_compile_definitions(${companion} PRIVATE ${TOLVANE_WIN32_DEFINITIONS})
endforeach()
