# Who the two programs are, and how each becomes an app bundle (macOS) or an installed program
# with a desktop entry (Linux). Included before app/ so that each program's folder can call
# quillmarch_package_program(<target>).

include(GNUInstallDirs)
set(QUILLMARCH_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

set(QUILLMARCH_ORGANIZATION_NAME "Quillmarch")
set(QUILLMARCH_ORGANIZATION_DOMAIN "quillmarch.app")
set(QUILLMARCH_APP_NAME "Quillmarch")
set(QUILLMARCH_STEPS_APP_NAME "QuillmarchSteps")
# Qt's defaults domain on macOS is the organization domain reversed and lower-cased, then the
# application name; the bundle identifiers are exactly that, so settings land in the app's domain.
string(TOLOWER "${QUILLMARCH_ORGANIZATION_DOMAIN}" domain)
string(REPLACE "." ";" domain_parts "${domain}")
list(REVERSE domain_parts)
list(JOIN domain_parts "." QUILLMARCH_ID_PREFIX)
set(QUILLMARCH_APP_ID "${QUILLMARCH_ID_PREFIX}.${QUILLMARCH_APP_NAME}")
set(QUILLMARCH_STEPS_ID "${QUILLMARCH_ID_PREFIX}.${QUILLMARCH_STEPS_APP_NAME}")
# Both programs show the app's icon; it is installed under the app's identifier.
set(QUILLMARCH_ICON_NAME "${QUILLMARCH_APP_ID}")
set(QUILLMARCH_ARTWORK ${CMAKE_SOURCE_DIR}/resources/artwork/AppIcon-light.svg)
configure_file(${QUILLMARCH_PACKAGING_DIR}/ApplicationIdentity.h.in
    ${CMAKE_BINARY_DIR}/generated/ApplicationIdentity.h @ONLY)

# An installed program must run the developer tools of the machine it is installed on. A build
# wired to the stand-in (or to any tool inside its build folder) would depend on that folder, so
# installing and packaging it stop with an explanation. This rule comes before all others.
install(CODE "
    set(use_standin [[${QUILLMARCH_USE_STANDIN}]])
    set(build_dir [[${CMAKE_BINARY_DIR}]])
    set(tool_paths [[${QUILLMARCH_XCRUN_PATH};${QUILLMARCH_OPEN_PATH}]])
    include([[${QUILLMARCH_PACKAGING_DIR}/CheckInstallable.cmake]])")

# quillmarch_package_program(<target>)
# Makes <target> an app bundle on macOS (Info.plist from macos/Info.plist.in, icon generated
# from the artwork) and installs it: the bundle at the top of the destination on macOS, the
# executable in bin/ and its desktop entry elsewhere. The configured Info.plist is written on
# every platform to ${CMAKE_BINARY_DIR}/packaging/<target>/Info.plist, where the tests read it.
function(quillmarch_package_program target)
    if(target STREQUAL "quillmarch")
        set(program_bundle_identifier ${QUILLMARCH_APP_ID})
        set(program_bundle_executable "Quillmarch")
        set(program_bundle_name "Quillmarch")
        set(program_display_name "Quillmarch")
    elseif(target STREQUAL "quillmarch-steps")
        set(program_bundle_identifier ${QUILLMARCH_STEPS_ID})
        set(program_bundle_executable "Quillmarch Step Recorder")
        # The menu-bar name: short, as the bundle name should be (under 16 characters).
        set(program_bundle_name "Step Recorder")
        set(program_display_name "Quillmarch Step Recorder")
    else()
        message(FATAL_ERROR "quillmarch_package_program: unknown program ${target}")
    endif()

    set(packaging_dir ${CMAKE_BINARY_DIR}/packaging/${target})
    configure_file(${QUILLMARCH_PACKAGING_DIR}/macos/Info.plist.in ${packaging_dir}/Info.plist @ONLY)

    if(APPLE)
        set(icns ${CMAKE_CURRENT_BINARY_DIR}/AppIcon.icns)
        add_custom_command(OUTPUT ${icns}
            COMMAND $<TARGET_FILE:quillmarch_icon_renderer> ${QUILLMARCH_ARTWORK} ${icns}
            DEPENDS quillmarch_icon_renderer ${QUILLMARCH_ARTWORK}
            COMMENT "Rendering the bundle icon of ${target}"
            VERBATIM)
        target_sources(${target} PRIVATE ${icns})
        set_source_files_properties(${icns} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
        set_target_properties(${target} PROPERTIES
            MACOSX_BUNDLE TRUE
            OUTPUT_NAME "${program_bundle_executable}"
            MACOSX_BUNDLE_INFO_PLIST ${packaging_dir}/Info.plist)
        install(TARGETS ${target} BUNDLE DESTINATION .)
    else()
        install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        set(desktop_entry ${packaging_dir}/${program_bundle_identifier}.desktop)
        configure_file(${QUILLMARCH_PACKAGING_DIR}/linux/${target}.desktop.in ${desktop_entry} @ONLY)
        install(FILES ${desktop_entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    endif()
endfunction()
