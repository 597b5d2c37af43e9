# Fails when a file of the portable core includes <windows.h> or throws.
file(GLOB core_files
    ${SOURCE_DIR}/recovery/*.h ${SOURCE_DIR}/recovery/*.cpp ${SOURCE_DIR}/salvage/*.h ${SOURCE_DIR}/salvage/*.cpp
    ${SOURCE_DIR}/languages/*.h ${SOURCE_DIR}/languages/*.cpp
    ${SOURCE_DIR}/framework/platform.h ${SOURCE_DIR}/framework/file_system.h
    ${SOURCE_DIR}/framework/stdio_file_system.* ${SOURCE_DIR}/framework/file_position.*
    ${SOURCE_DIR}/framework/native_file.* ${SOURCE_DIR}/framework/windows_name.*
    ${SOURCE_DIR}/mainwindow/text_catalogue.*
    ${SOURCE_DIR}/mainwindow/companion_launcher.* ${SOURCE_DIR}/mainwindow/drop_option_fields.*
    ${SOURCE_DIR}/widgets/menu_item_art.* ${SOURCE_DIR}/widgets/menu_mnemonic.* ${SOURCE_DIR}/widgets/menu_placement.*
    ${SOURCE_DIR}/widgets/drop_options.* ${SOURCE_DIR}/widgets/file_list_entry.*
    ${SOURCE_DIR}/widgets/scroll_state.* ${SOURCE_DIR}/widgets/browser_command.* ${SOURCE_DIR}/widgets/fit_to_text.*
    ${SOURCE_DIR}/widgets/open_error_text.* ${SOURCE_DIR}/widgets/home_page.h ${SOURCE_DIR}/about/about_lines.*
    ${SOURCE_DIR}/installer/sfx_*.* ${SOURCE_DIR}/installer/install_flow.*
    ${SOURCE_DIR}/companions/help/help_topics.* ${SOURCE_DIR}/companions/help/help_layout.* ${SOURCE_DIR}/companions/help/help_language.*
    ${SOURCE_DIR}/companions/optmgr/options_editor.* ${SOURCE_DIR}/companions/optmgr/optmgr_texts.*
    ${SOURCE_DIR}/companions/setup/setup_arguments.* ${SOURCE_DIR}/companions/setup/setup_plan.*
    ${SOURCE_DIR}/companions/setup/setup_machine.h)
# Appends to `offences` every line of `files` that matches `pattern`, with its file.
function(find_offences pattern)
    set(found "${offences}")
    foreach(file ${ARGN})
        file(STRINGS ${file} lines REGEX "${pattern}")
        if(lines)
            string(APPEND found "${file}: ${lines}\n")
        endif()
    endforeach()
    set(offences "${found}" PARENT_SCOPE)
endfunction()

set(offences "")
find_offences("#include[ \t]*<windows\\.h>|(^|[^a-z_])throw([ \t;(]|$)" ${core_files})
list(LENGTH core_files count)
if(count EQUAL 0)
    message(FATAL_ERROR "no core files found under ${SOURCE_DIR}")
endif()
if(offences)
    message(FATAL_ERROR "the portable core must not include <windows.h> nor throw:\n${offences}")
endif()

# One library per deliverable: the installer's code and the recovery program's code include nothing of each other.
file(GLOB installer_files ${SOURCE_DIR}/installer/sfx_*.* ${SOURCE_DIR}/installer/install_flow.*)
set(recovery_files ${core_files})
list(REMOVE_ITEM recovery_files ${installer_files})
find_offences("#include[ \t]*\"(recovery|mainwindow|widgets|about|languages)/" ${installer_files})
find_offences("#include[ \t]*\"installer/" ${recovery_files})
if(offences)
    message(FATAL_ERROR "the recovery core and the installer core must not include each other:\n${offences}")
endif()
# Dependencies go one way: the engine, the widgets, the about box and the languages below them never reach up into
# the main window.
file(GLOB lower_files ${SOURCE_DIR}/recovery/*.* ${SOURCE_DIR}/widgets/*.* ${SOURCE_DIR}/about/*.* ${SOURCE_DIR}/languages/*.*
    ${SOURCE_DIR}/salvage/*.*)
find_offences("#include[ \t]*\"mainwindow/" ${lower_files})
if(offences)
    message(FATAL_ERROR "recovery/, widgets/, about/, languages/ and salvage/ must not include mainwindow/:\n${offences}")
endif()
message(STATUS "${count} core files checked")
