# Stops an install (and so a package) of a build whose developer-tool paths point into its own
# build folder. Expects use_standin, build_dir and tool_paths (a list); runs inside the install
# script and on its own: cmake -Duse_standin=... -Dbuild_dir=... -Dtool_paths=... -P <this file>.

set(reason "")
if(use_standin)
    set(reason "it is wired to the developer-tool stand-in (QUILLMARCH_USE_STANDIN=ON)")
endif()
foreach(path IN LISTS tool_paths)
    cmake_path(IS_PREFIX build_dir "${path}" NORMALIZE inside)
    if(inside AND NOT reason)
        set(reason "its developer-tool path ${path} lies inside the build folder")
    endif()
endforeach()
if(reason)
    message(FATAL_ERROR "This build cannot be installed or packaged: ${reason}. "
        "An installed program would depend on that build folder. Configure a separate build "
        "folder with -DQUILLMARCH_USE_STANDIN=OFF (the tools then default to /usr/bin/xcrun and "
        "/usr/bin/open) and install or package that one.")
endif()
