# SPDX-FileCopyrightText: 2026 Chimewell developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one libFuzzer target on a seed corpus made at test time.
#   FUZZER   the fuzzer executable          CORPUS  folder for the corpus it grows
#   SEEDS    JSON files palmdat turns into seed files (skipped when PALMDAT is absent)
#   SAMPLES  folders of real files read in place    SECONDS  how long to run
file(MAKE_DIRECTORY "${CORPUS}")
if(SEEDS AND EXISTS "${PALMDAT}")
    foreach(json IN LISTS SEEDS)
        get_filename_component(stem "${json}" NAME_WE)
        execute_process(COMMAND "${PALMDAT}" make "${json}" "${CORPUS}/seed-${stem}"
                        RESULT_VARIABLE made)
        if(NOT made EQUAL 0)
            message(FATAL_ERROR "palmdat make ${json} failed")
        endif()
    endforeach()
elseif(SEEDS)
    message(STATUS "No palmdat at '${PALMDAT}': fuzzing without the generated seeds")
endif()
set(folders "${CORPUS}")
foreach(folder IN LISTS SAMPLES)
    if(IS_DIRECTORY "${folder}")
        list(APPEND folders "${folder}")
    endif()
endforeach()
# Inputs up to 1 MB (the largest users.dat read), tried from the start, so that slow paths
# through large files show.
execute_process(COMMAND "${FUZZER}" -max_total_time=${SECONDS} -max_len=1048576 -len_control=0
                        -print_final_stats=1
                        -artifact_prefix=${CORPUS}-crash- ${folders}
                RESULT_VARIABLE found)
if(NOT found EQUAL 0)
    message(FATAL_ERROR "${FUZZER} found a problem (exit ${found}); the input is in ${CORPUS}-crash-*")
endif()
