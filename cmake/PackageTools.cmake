# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it makes a package (CPACK_PROJECT_CONFIG_FILE). The
# Debian package's library dependencies come from dpkg-shlibdeps, which CPack
# only runs on the files `file` calls programs. Without dpkg-shlibdeps CPack
# would make a package lacking every library dependency and say nothing;
# without `file` it stops with an error that does not say what to install.
# A file that cannot be run is no tool.
cmake_policy(SET CMP0109 NEW)
if(CPACK_GENERATOR STREQUAL "DEB")
    foreach(tool dpkg-shlibdeps file)
        find_program(tool_path ${tool} NO_CACHE)
        set(tool_status 1)
        if(tool_path)
            execute_process(COMMAND ${tool_path} --version RESULT_VARIABLE tool_status OUTPUT_QUIET ERROR_QUIET)
        endif()
        if(NOT tool_status EQUAL 0)
            message(FATAL_ERROR "quorvel: the Debian package cannot be made: ${tool} is missing or does not "
                                "run, and without it the package's library dependencies cannot be found. "
                                "Install it with: sudo apt-get install dpkg-dev file")
        endif()
        unset(tool_path)
    endforeach()
endif()
