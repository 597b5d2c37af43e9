# One throw-away Wine prefix per build folder, made by the first test that needs it.
set(TOLVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)

# The Windows layer: our thin framework, the widgets, the dialogs and the programs, 32-bit and ANSI by design.
enable_language(RC)

set(TOLVANE_WIN32_DEFINITIONS STRICT WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
set(TOLVANE_WIN32_LIBRARIES comctl32 ole32 oleaut32 uuid shell32 shlwapi comdlg32 gdi32 user32 kernel32)

add_library(tolvane_win32 STATIC
    framework/dialog.cpp
    framework/subclassed_control.cpp
    framework/win32_platform.cpp
    widgets/drop_list_ctrl.cpp
    widgets/hover_button.cpp
)
target_link_libraries(tolvane_win32 PUBLIC tolvane_core ${TOLVANE_WIN32_LIBRARIES})
target_compile_definitions(tolvane_win32 PUBLIC ${TOLVANE_WIN32_DEFINITIONS})
target_compile_options(tolvane_win32 PRIVATE ${TOLVANE_WARNINGS})

add_library(tolvane_mainwindow STATIC
    mainwindow/banner_painter.cpp
    mainwindow/main_dialog.cpp
    mainwindow/recovery_app.cpp
)
target_link_libraries(tolvane_mainwindow PUBLIC tolvane_win32)
target_compile_options(tolvane_mainwindow PRIVATE ${TOLVANE_WARNINGS})

# Resources go straight into each program: the linker drops resource objects that sit in a static library.
set(TOLVANE_RESOURCES ${PROJECT_SOURCE_DIR}/resources/tolvane.rc)
set_source_files_properties(${TOLVANE_RESOURCES} PROPERTIES
    OBJECT_DEPENDS "${PROJECT_SOURCE_DIR}/resources/tolvane.manifest;${PROJECT_SOURCE_DIR}/resources/tolvane_art.rc")

add_executable(Tolvane WIN32 mainwindow/winmain.cpp ${TOLVANE_RESOURCES})
target_link_libraries(Tolvane PRIVATE tolvane_mainwindow)
target_compile_options(Tolvane PRIVATE ${TOLVANE_WARNINGS})
