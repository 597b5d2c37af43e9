# One throw-away Wine prefix per build folder, made by the first test that needs it. Tests under Wine run one at
# a time: they share the prefix's Windows directory and its settings file.
set(TOLVANE_WINE_PREFIX ${CMAKE_BINARY_DIR}/wineprefix)
function(add_wine_test name)
    add_test(NAME ${name} COMMAND ${ARGN})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "WINEPREFIX=${TOLVANE_WINE_PREFIX}"
        RESOURCE_LOCK wine
        TIMEOUT 300)
endfunction()

# The Windows layer: our thin framework, the widgets, the dialogs and the programs, 32-bit and ANSI by design.
enable_language(RC)

set(TOLVANE_WIN32_DEFINITIONS STRICT WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 _WIN32_IE=0x0600)
set(TOLVANE_WIN32_LIBRARIES comctl32 ole32 oleaut32 uuid shell32 shlwapi comdlg32 gdi32 user32 kernel32)

# The thin framework over the platform seam, shared by every Windows program.
add_library(win32_framework STATIC
    framework/dialog.cpp
    framework/folder_browser.cpp
    framework/notification_reflector.cpp
    framework/subclassed_control.cpp
    framework/win32_platform.cpp
    framework/window.cpp
    framework/wide_text.cpp
)
target_link_libraries(win32_framework PUBLIC platform_seam ${TOLVANE_WIN32_LIBRARIES})
target_compile_definitions(win32_framework PUBLIC ${TOLVANE_WIN32_DEFINITIONS})

add_library(tolvane_widgets STATIC
    widgets/bmp_menu.cpp
    widgets/bmp_menu_bar.cpp
    widgets/bmp_menu_item_painter.cpp
    widgets/drop_list_ctrl.cpp
    widgets/hover_button.cpp
    widgets/hyperlink_static.cpp
    widgets/offscreen_dc.cpp
    widgets/scroll_hot_static.cpp
    widgets/url_open.cpp
)
target_link_libraries(tolvane_widgets PUBLIC recovery_core win32_framework)

# The about box and the splash.
add_library(tolvane_about STATIC
    about/about_background.cpp
    about/about_box.cpp
    about/splash_window.cpp
)
target_link_libraries(tolvane_about PUBLIC tolvane_widgets)

add_library(tolvane_mainwindow STATIC
    mainwindow/banner_painter.cpp
    mainwindow/file_list_commands.cpp
    mainwindow/main_dialog.cpp
    mainwindow/popup_menus.cpp
    mainwindow/recovery_app.cpp
)
target_link_libraries(tolvane_mainwindow PUBLIC tolvane_widgets tolvane_about)

foreach(library win32_framework tolvane_widgets tolvane_about tolvane_mainwindow)
    target_compile_options(${library} PRIVATE ${TOLVANE_WARNINGS})
endforeach()

# The resource script of a program, rebuilt when its manifest or any picture changes. Resources go straight into
# each program: the linker drops resource objects that sit in a static library.
file(GLOB TOLVANE_ART CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/art/*)
function(program_resources out_var name)
    set(script ${PROJECT_SOURCE_DIR}/resources/${name}.rc)
    set_source_files_properties(${script} PROPERTIES OBJECT_DEPENDS
        "${PROJECT_SOURCE_DIR}/resources/${name}.manifest;${PROJECT_SOURCE_DIR}/resources/${name}_art.rc;${TOLVANE_ART}")
    set(${out_var} ${script} PARENT_SCOPE)
endfunction()

program_resources(TOLVANE_RESOURCES tolvane)

add_executable(Tolvane WIN32 mainwindow/winmain.cpp ${TOLVANE_RESOURCES})
target_link_libraries(Tolvane PRIVATE tolvane_mainwindow)
target_compile_options(Tolvane PRIVATE ${TOLVANE_WARNINGS})

# The installer: the dialog program is built as a stub, then the native packer appends the payload to it: the
# setup program and the programs it installs (companions/).
set(TOLVANE_NATIVE_SFXPACK "${PROJECT_SOURCE_DIR}/build/release/tools/sfxpack/sfxpack" CACHE FILEPATH
    "The archive packer built for the build machine, which packs the installer's payload")

add_library(rezaravoz_dialog STATIC installer/installer_app.cpp installer/installer_dialog.cpp)
target_link_libraries(rezaravoz_dialog PUBLIC installer_core win32_framework)
target_compile_options(rezaravoz_dialog PRIVATE ${TOLVANE_WARNINGS})

program_resources(REZARAVOZ_RESOURCES rezaravoz)
add_executable(rezaravoz_stub WIN32 installer/installer_main.cpp ${REZARAVOZ_RESOURCES})
set_target_properties(rezaravoz_stub PROPERTIES OUTPUT_NAME Rezaravoz-stub)
target_link_libraries(rezaravoz_stub PRIVATE rezaravoz_dialog)
target_compile_options(rezaravoz_stub PRIVATE ${TOLVANE_WARNINGS})

set(REZARAVOZ_PAYLOAD
    $<TARGET_FILE:Installer>
    $<TARGET_FILE:Tolvane>
    $<TARGET_FILE:Help>
    $<TARGET_FILE:Optmgr>
    ${PROJECT_SOURCE_DIR}/installer/payload/readme.txt)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Rezaravoz.exe
    COMMAND ${TOLVANE_NATIVE_SFXPACK} pack --stub $<TARGET_FILE:rezaravoz_stub> --out ${CMAKE_BINARY_DIR}/Rezaravoz.exe
            ${REZARAVOZ_PAYLOAD}
    DEPENDS rezaravoz_stub Installer Tolvane Help Optmgr ${REZARAVOZ_PAYLOAD} ${TOLVANE_NATIVE_SFXPACK}
    COMMENT "Packing the installer's payload into Rezaravoz.exe"
    VERBATIM)
add_custom_target(Rezaravoz ALL DEPENDS ${CMAKE_BINARY_DIR}/Rezaravoz.exe)
