# How the program tests become CTest tests: a group of them is given by a GoogleTest filter and
# the properties its tests share (environment, labels, locks).
#
# By default every case is a CTest test of its own, in a process of its own (found by
# gtest_discover_tests when the tests run). With ROUTELARK_SUITE_PER_PROCESS each suite's cases
# run in one process instead, one CTest test per suite ("program.Discovery"): under CPU
# emulation a Windows process takes about a second to come up and another to bring up the
# windows and fonts, more than most cases take themselves. The fixtures leave nothing behind
# for the next case, so the cases pass either way; the default keeps each on its own, where no
# case can lean on what another left.

option(ROUTELARK_SUITE_PER_PROCESS "Run each program test suite's cases in one process" OFF)

# The suites, read from the sources: TEST, TEST_F and TEST_P at the start of a line. The test
# program.every_suite_registered checks this reading against the program's own list.
set(program_suites)
foreach(source IN LISTS program_sources)
    file(STRINGS ${source} lines REGEX "^TEST(_F|_P)?\\([A-Za-z0-9_]+,")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^TEST(_F|_P)?\\(([A-Za-z0-9_]+),.*" "\\2" suite "${line}")
        list(APPEND program_suites ${suite})
        if(NOT DEFINED program_cases_${suite})
            set(program_cases_${suite} 0)
        endif()
        math(EXPR program_cases_${suite} "${program_cases_${suite}} + 1")
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endforeach()
list(REMOVE_DUPLICATES program_suites)

# A GoogleTest pattern (* and ?) as a regular expression that matches the whole name.
function(gtest_pattern_regex pattern out)
    string(REGEX REPLACE "([][.+^$()|\\\\])" "\\\\\\1" regex "${pattern}")
    string(REPLACE "*" ".*" regex "${regex}")
    string(REPLACE "?" "." regex "${regex}")
    set(${out} "^${regex}$" PARENT_SCOPE)
endfunction()

# True in out when one of the patterns (a list) takes in every case of suite.
function(patterns_take_suite suite patterns out)
    set(${out} FALSE PARENT_SCOPE)
    foreach(pattern IN LISTS patterns)
        gtest_pattern_regex("${pattern}" regex)
        # A pattern that takes "Suite.<any name>" takes the whole suite.
        if("${suite}.AnyCase" MATCHES "${regex}")
            set(${out} TRUE PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()

# program_test_group(FILTER filter PROPERTIES ...): the cases that filter (GoogleTest's syntax,
# positive patterns, then "-" and negative ones) selects. Per suite, a suite belongs to the group
# when a positive pattern (or none) takes it whole and no negative pattern does; the negative
# patterns still apply to its cases, so that one case can be left to a group of its own.
function(program_test_group)
    cmake_parse_arguments(PARSE_ARGV 0 group "" "FILTER" "PROPERTIES")
    if(NOT ROUTELARK_SUITE_PER_PROCESS)
        # Test names carry each case's own name, not its parameter's bytes.
        gtest_discover_tests(program_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
            NO_PRETTY_VALUES TEST_FILTER "${group_FILTER}" PROPERTIES ${group_PROPERTIES})
        return()
    endif()
    string(FIND "${group_FILTER}" "-" dash)
    if(dash EQUAL -1)
        set(positive "${group_FILTER}")
        set(negative "")
    else()
        string(SUBSTRING "${group_FILTER}" 0 ${dash} positive)
        math(EXPR after "${dash} + 1")
        string(SUBSTRING "${group_FILTER}" ${after} -1 negative)
    endif()
    string(REPLACE ":" ";" positive_list "${positive}")
    string(REPLACE ":" ";" negative_list "${negative}")
    foreach(suite IN LISTS program_suites)
        set(taken TRUE)
        if(positive_list)
            patterns_take_suite(${suite} "${positive_list}" taken)
        endif()
        patterns_take_suite(${suite} "${negative_list}" left_out)
        if(NOT taken OR left_out)
            continue()
        endif()
        # Parameterised suites are named Prefix/Suite.
        set(filter "${suite}.*:*/${suite}.*")
        if(negative)
            string(APPEND filter "-${negative}")
        endif()
        add_test(NAME program.${suite} COMMAND program_tests --gtest_filter=${filter})
        # The suites of most cases start first (a later COST among the properties wins).
        set_tests_properties(program.${suite} PROPERTIES COST ${program_cases_${suite}} ${group_PROPERTIES})
    endforeach()
endfunction()

# The suites read above are all the program holds: a suite that the reading missed would never run.
function(check_program_suites)
    if(ROUTELARK_SUITE_PER_PROCESS)
        add_test(NAME program.every_suite_registered
            COMMAND ${PYTHON3} ${CMAKE_CURRENT_SOURCE_DIR}/suites_registered.py
                ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:program_tests> ${program_suites})
        set_tests_properties(program.every_suite_registered PROPERTIES LABELS program)
    endif()
endfunction()
